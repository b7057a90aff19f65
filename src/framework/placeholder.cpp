// Framework layer placeholder.
namespace velmora { int FrameworkPlaceholder() { return 0; } }
