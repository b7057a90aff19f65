namespace velmora { int Placeholder() { return 0; } }
