// The module player, play lists and module titles live here.
