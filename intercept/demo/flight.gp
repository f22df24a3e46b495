# Draws one scene flown by both guidances, the autopilot and the tracker,
# from the CSV that intercept_demo writes for each flight. It reads these
# variables (gnuplot -e "picture='...'; title='...'; autopilot_data='...'"):
#   picture, title             the PNG to write and the chart's title
#   autopilot_data, tracker_data       the CSV of each guidance's flight
#   <guidance>_end_x, _end_y, _end_label  where each flight ended (km) and
#                                         its key entry
reset  # the same gnuplot may have drawn another flight just before
set datafile separator comma

# The frame: the true track of the bogie, both friendlies' paths and the
# base station, with a margin. The fixes are left out, so that a few stray
# ones are clipped at the border instead of shrinking the tracks into a
# corner. The autopilot flies longer, so its CSV holds the bogie's longer
# track.
stats autopilot_data using 2:3 name "A" nooutput
stats tracker_data using 2:3 name "T" nooutput
stats autopilot_data using 4:5 name "B" nooutput
min3(a, b, c) = (a < b ? (a < c ? a : c) : (b < c ? b : c))
max3(a, b, c) = (a > b ? (a > c ? a : c) : (b > c ? b : c))
x_min = min3(A_min_x, T_min_x, B_min_x); x_min = (x_min < 0 ? x_min : 0)
x_max = max3(A_max_x, T_max_x, B_max_x); x_max = (x_max > 0 ? x_max : 0)
y_min = min3(A_min_y, T_min_y, B_min_y); y_min = (y_min < 0 ? y_min : 0)
y_max = max3(A_max_y, T_max_y, B_max_y); y_max = (y_max > 0 ? y_max : 0)
span = (x_max - x_min > y_max - y_min ? x_max - x_min : y_max - y_min)
margin = 0.08 * span
set xrange [x_min - margin : x_max + margin]
set yrange [y_min - margin : y_max + margin]
# Equal scales on both axes: the canvas takes the frame's proportions, with
# room for the title, the axes and the key on the right.
set size ratio -1
plot_width = 900
plot_height = plot_width * (y_max - y_min) / (x_max - x_min)
plot_height = (plot_height > 1000 ? 1000 : plot_height)
set terminal pngcairo size plot_width + 420, plot_height + 160 font "sans,12"
set output picture
set xlabel "east (km)"
set ylabel "north (km)"
set grid lc rgb "#dddddd"
set title title font "sans,14"
set key outside right top vertical box opaque spacing 1.3

# Labels sit on white boxes in front of the tracks, so no line covers them.
set style textbox opaque noborder margins 1,1
set label "base" at 0,0 offset 1,-1 boxed front
arrow = 0.35 * margin  # length of a direction arrow (km)

# Colours: each guidance's friendly (as in the scoreboard), the bogie, the
# autopilot's two kinds of fix and the tracker's estimate, drawn over the
# bogie's track that it follows closely.
blue = "#1f5fbf"; green = "#2ca02c"; red = "#d62728"
orange = "#f5a623"; purple = "#b07cc6"; dark_green = "#135e13"
# Every 10 s: an arrow in the direction of flight, and the time beside it on
# the left of the direction of flight, clear of the arrow.
at_mark(x) = valid(12) ? x : NaN
beside = 0.9 * arrow
mark_text(t) = sprintf("%.0f s", t)
left_x(x, heading) = at_mark(x - beside*sin(heading))
left_y(y, heading) = y + beside*cos(heading)

# The fixes are dots too small for the key: it shows bigger ones.
plot autopilot_data using 6:7 with points pt 7 ps 0.4 lc rgb orange notitle, \
     keyentry with points pt 7 ps 1.2 lc rgb orange \
       title "autopilot's fix of the bogie", \
     autopilot_data using 8:9 with points pt 7 ps 0.4 lc rgb purple notitle, \
     keyentry with points pt 7 ps 1.2 lc rgb purple \
       title "its fix of the mirror point", \
     autopilot_data using 2:3 with lines lw 2 lc rgb blue \
       title "friendly, autopilot", \
     tracker_data using 2:3 with lines lw 2 lc rgb green \
       title "friendly, tracker", \
     autopilot_data using 4:5 with lines lw 2 lc rgb red title "bogie (true)", \
     tracker_data using 6:7 with points pt 7 ps 0.5 lc rgb dark_green \
       notitle, \
     tracker_data using 8:9 with points pt 7 ps 0.5 lc rgb dark_green \
       notitle, \
     keyentry with points pt 7 ps 1.2 lc rgb dark_green \
       title "tracker's estimate", \
     autopilot_data using (at_mark($2)):3:(arrow*cos($10)):(arrow*sin($10)) \
       with vectors head filled size screen 0.012,25 lw 2 lc rgb blue notitle, \
     tracker_data using (at_mark($2)):3:(arrow*cos($10)):(arrow*sin($10)) \
       with vectors head filled size screen 0.012,25 lw 2 lc rgb green notitle, \
     autopilot_data using (at_mark($4)):5:(arrow*cos($11)):(arrow*sin($11)) \
       with vectors head filled size screen 0.012,25 lw 2 lc rgb red notitle, \
     autopilot_data using (left_x($2, $10)):(left_y($3, $10)):(mark_text($12)) \
       with labels boxed font "sans,9" notitle, \
     tracker_data using (left_x($2, $10)):(left_y($3, $10)):(mark_text($12)) \
       with labels boxed font "sans,9" notitle, \
     autopilot_data using (left_x($4, $11)):(left_y($5, $11)):(mark_text($12)) \
       with labels boxed font "sans,9" notitle, \
     "+" using (0):(0) every ::0::0 with points pt 5 ps 1.5 lc rgb "black" \
       title "base station", \
     "+" using (autopilot_end_x + 0):(autopilot_end_y + 0) every ::0::0 \
       with points pt 6 ps 3 lw 2 lc rgb blue title autopilot_end_label, \
     "+" using (tracker_end_x + 0):(tracker_end_y + 0) every ::0::0 \
       with points pt 6 ps 3 lw 2 lc rgb green title tracker_end_label
