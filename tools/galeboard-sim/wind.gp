# galeboard-sim's wind plot: the wind acceleration the module applied, per
# axis, with the shear events shaded behind it; the altitude; when the wind
# acted. The script is fixed: what belongs to a run comes in as arguments,
# which gnuplot holds as strings and never reads as commands.
#
#   gnuplot -c wind.gp TRACE SHEAR PNG [TITLE [EVERY [DURATION]]]
#
# TRACE and SHEAR are a run's trace.csv and shear.csv, PNG the picture to
# write; TITLE goes above it as it stands; EVERY plots every n-th step (1);
# DURATION sets the time axis from 0 to that many seconds (else the trace's).
if (ARGC < 3) {
  print "usage: gnuplot -c wind.gp TRACE SHEAR PNG [TITLE [EVERY [DURATION]]]"
  exit status 2
}
trace = ARG1
shear = ARG2
title = ARGC >= 4 ? ARG4 : "Galeboard"
thin = ARGC >= 5 ? int(ARG5) : 1

set terminal pngcairo size 1280,900 font 'DejaVu Sans,10'
set output ARG3
set datafile separator ','
set datafile columnheaders
set multiplot title title noenhanced
set lmargin at screen 0.08
set rmargin at screen 0.97
set grid
set key top right opaque
if (ARGC >= 6) { set xrange [0:real(ARG6)] }

# The wind acceleration. A shear event is a box from its low to its high,
# over the whole height: 0 to 1 on a second axis that is not shown.
set tmargin at screen 0.93
set bmargin at screen 0.42
set format x ''
set y2range [0:1]
unset y2tics
set ylabel 'wind acceleration (force / mass) [m/s^2]'
plot shear using (($1 + $2) / 2):(0.5):(($2 - $1) / 2):(0.5) axes x1y2 with boxxyerror \
       fillcolor rgb '#f0d0f0' fillstyle solid 1.0 noborder title 'shear event', \
     trace every thin using 't':'accel_z' with lines lw 1.2 lc rgb '#d62728' title 'forward (z)', \
     trace every thin using 't':'accel_y' with lines lw 1.2 lc rgb '#2ca02c' title 'up (y)', \
     trace every thin using 't':'accel_x' with lines lw 1.2 lc rgb '#1f77b4' title 'side (x)'

# The altitude.
set tmargin at screen 0.40
set bmargin at screen 0.17
set ylabel 'altitude [m]'
plot trace every thin using 't':'altitude' with lines lw 1.5 lc rgb '#333333' title 'altitude'

# When a force was applied.
set tmargin at screen 0.15
set bmargin at screen 0.06
set format x '%g'
set xlabel 'simulation time [s]'
set ylabel 'wind acts'
set yrange [-0.2:1.2]
set ytics ('no' 0, 'yes' 1)
unset key
plot trace every thin using 't':'wind' with steps lw 1.5 lc rgb '#ff7f0e'
unset multiplot
