# Draws one flown intercept from the CSV that intercept_demo writes. It reads
# these variables (gnuplot -e "data='intercept.csv'; picture='...'; ..."):
#   data, picture, title   the CSV, the PNG to write, the chart's title
#   end_x, end_y, end_label where the flight ended (km) and its key entry
reset  # the same gnuplot may have drawn another flight just before
set datafile separator comma

# The frame: the true tracks, the friendly's path and the base station, with
# a margin. The fixes are left out, so that a few stray ones are clipped at
# the border instead of shrinking the tracks into a corner.
stats data using 2:3 name "F" nooutput
stats data using 4:5 name "B" nooutput
x_min = (F_min_x < B_min_x ? F_min_x : B_min_x); x_min = (x_min < 0 ? x_min : 0)
x_max = (F_max_x > B_max_x ? F_max_x : B_max_x); x_max = (x_max > 0 ? x_max : 0)
y_min = (F_min_y < B_min_y ? F_min_y : B_min_y); y_min = (y_min < 0 ? y_min : 0)
y_max = (F_max_y > B_max_y ? F_max_y : B_max_y); y_max = (y_max > 0 ? y_max : 0)
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
set terminal pngcairo size plot_width + 380, plot_height + 160 font "sans,12"
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

# Colours of the friendly, the bogie and the two kinds of fix.
blue = "#1f5fbf"; red = "#d62728"; orange = "#f5a623"; purple = "#b07cc6"
# Every 10 s: an arrow in the direction of flight, and the time beside it on
# the left of the direction of flight, clear of the arrow.
at_mark(x) = valid(12) ? x : NaN
beside = 0.9 * arrow
mark_text(t) = sprintf("%.0f s", t)
left_x(x, heading) = at_mark(x - beside*sin(heading))
left_y(y, heading) = y + beside*cos(heading)

# The fixes are dots too small for the key: it shows bigger ones.
plot data using 6:7 with points pt 7 ps 0.4 lc rgb orange notitle, \
     keyentry with points pt 7 ps 1.2 lc rgb orange title "fix of the bogie", \
     data using 8:9 with points pt 7 ps 0.4 lc rgb purple notitle, \
     keyentry with points pt 7 ps 1.2 lc rgb purple \
       title "fix of its mirror point", \
     data using 2:3 with lines lw 2 lc rgb blue title "friendly", \
     data using 4:5 with lines lw 2 lc rgb red title "bogie (true)", \
     data using (at_mark($2)):3:(arrow*cos($10)):(arrow*sin($10)) \
       with vectors head filled size screen 0.012,25 lw 2 lc rgb blue notitle, \
     data using (at_mark($4)):5:(arrow*cos($11)):(arrow*sin($11)) \
       with vectors head filled size screen 0.012,25 lw 2 lc rgb red notitle, \
     data using (left_x($2, $10)):(left_y($3, $10)):(mark_text($12)) \
       with labels boxed font "sans,9" notitle, \
     data using (left_x($4, $11)):(left_y($5, $11)):(mark_text($12)) \
       with labels boxed font "sans,9" notitle, \
     "+" using (0):(0) every ::0::0 with points pt 5 ps 1.5 lc rgb "black" \
       title "base station", \
     "+" using (end_x + 0):(end_y + 0) every ::0::0 \
       with points pt 6 ps 3 lw 2 lc rgb "#2ca02c" title end_label
