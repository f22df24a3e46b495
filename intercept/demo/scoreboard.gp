# Draws the scoreboard from the CSV that guidance_scoreboard writes: for each
# guidance, the share of its flights intercepted within each ratio of its
# time to the ideal pursuer's. It reads these variables
# (gnuplot -e "data='scoreboard.csv'; picture='...'; title='...'"):
#   data, picture, title   the CSV, the PNG to write, the chart's title
#   autopilot_title, tracker_title   each guidance's key entry, which says
#                                    the share of its flights it missed
reset
set datafile separator comma
set terminal pngcairo size 1000,600 font "sans,12"
set output picture
set title title font "sans,14"
set xlabel "time to intercept / ideal pursuer's time"
set ylabel "flights intercepted (%)"
# Ratios from 1 to 50 on every picture, whatever the noise, so that two of
# them can be laid side by side: a log scale shows the tracker's few per
# cent over the ideal and the autopilot's several times it alike.
set logscale x
set xtics (1, 1.25, 1.5, 2, 3, 5, 10, 20, 50)
set xrange [1:50]
set yrange [0:102]
set grid lc rgb "#dddddd"
set key right bottom box opaque

# The colours of the two guidances, as in the flight pictures.
autopilot = "#1f5fbf"; tracker = "#2ca02c"
plot data using 1:($2 * 100) with steps lw 2 lc rgb autopilot \
       title autopilot_title, \
     data using 1:($3 * 100) with steps lw 2 lc rgb tracker title tracker_title
