// merge cases follow
