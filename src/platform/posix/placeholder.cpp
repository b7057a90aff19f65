namespace velmora { int PosixPlaceholder() { return 0; } }
