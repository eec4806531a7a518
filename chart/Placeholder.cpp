// Keeps the chart library non-empty until its units land.
