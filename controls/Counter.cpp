// The self-drawn controls live here.
