# Draws one scene flown by both guidances, the autopilot and the tracker,
# from the CSVs that intercept_demo (and guidance_scoreboard --replay) writes
# for each flight. It reads these variables
# (gnuplot -e "picture='...'; title='...'; autopilot_data='...'"):
#   picture, title             the PNG to write and the chart's title
#   autopilot_data, tracker_data       the CSV of each guidance's flight
#   bogie_data                 the one of them that flew longer, which holds
#                              the bogie's longer track
#   marks                      the CSV of the time labels (x, y in km, t in s)
#   x_min, x_max, y_min, y_max the frame (km), and outside: a line saying how
#                              many fixes lie beyond it ("" for none)
#   <guidance>_end_x, _end_y, _end_label  where each flight ended (km) and
#                                         its key entry
reset  # the same gnuplot may have drawn another flight just before
set datafile separator comma
set xrange [x_min + 0 : x_max + 0]
set yrange [y_min + 0 : y_max + 0]
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
if (strlen(outside) > 0) {
  set label outside at graph 0.02, graph 0.03 left boxed front
}
arrow = 0.025 * (x_max - x_min)  # length of a direction arrow (km)

# Colours: each guidance's friendly (as in the scoreboard), the bogie, the
# autopilot's two kinds of fix and the tracker's estimate. The fixes come
# after the tracks, so that they lie on top: where the autopilot's fix is
# exact it covers the bogie's true track, and the tracker's estimate runs
# inside it.
blue = "#1f5fbf"; green = "#2ca02c"; red = "#d62728"
orange = "#f5a623"; purple = "#b07cc6"; dark_green = "#135e13"
# Every 10 s an arrow in the direction of flight (the time beside it comes
# from marks).
at_mark(x) = valid(12) ? x : NaN

# The fixes are dots too small for the key: it shows bigger ones.
plot autopilot_data using 2:3 with lines lw 2 lc rgb blue \
       title "friendly, autopilot", \
     tracker_data using 2:3 with lines lw 2 lc rgb green \
       title "friendly, tracker", \
     bogie_data using 4:5 with lines lw 2 lc rgb red title "bogie (true)", \
     autopilot_data using 6:7 with points pt 7 ps 0.9 lc rgb orange notitle, \
     keyentry with points pt 7 ps 1.2 lc rgb orange \
       title "autopilot's fix of the bogie", \
     autopilot_data using 8:9 with points pt 7 ps 0.9 lc rgb purple notitle, \
     keyentry with points pt 7 ps 1.2 lc rgb purple \
       title "its fix of the mirror point", \
     tracker_data using 6:7 with points pt 7 ps 0.3 lc rgb dark_green \
       notitle, \
     tracker_data using 8:9 with points pt 7 ps 0.3 lc rgb dark_green \
       notitle, \
     keyentry with points pt 7 ps 1.2 lc rgb dark_green \
       title "tracker's estimate", \
     autopilot_data using (at_mark($2)):3:(arrow*cos($10)):(arrow*sin($10)) \
       with vectors head filled size screen 0.012,25 lw 2 lc rgb blue notitle, \
     tracker_data using (at_mark($2)):3:(arrow*cos($10)):(arrow*sin($10)) \
       with vectors head filled size screen 0.012,25 lw 2 lc rgb green notitle, \
     bogie_data using (at_mark($4)):5:(arrow*cos($11)):(arrow*sin($11)) \
       with vectors head filled size screen 0.012,25 lw 2 lc rgb red notitle, \
     marks using 1:2:(sprintf("%.0f s", $3)) with labels boxed font "sans,9" \
       notitle, \
     "+" using (0):(0) every ::0::0 with points pt 5 ps 1.5 lc rgb "black" \
       title "base station", \
     "+" using (autopilot_end_x + 0):(autopilot_end_y + 0) every ::0::0 \
       with points pt 6 ps 3 lw 2 lc rgb blue title autopilot_end_label, \
     "+" using (tracker_end_x + 0):(tracker_end_y + 0) every ::0::0 \
       with points pt 6 ps 3 lw 2 lc rgb green title tracker_end_label
