// The program each layer library is linked into on its own (tools/layers/CMakeLists.txt). It
// uses nothing: every object of the layer is linked in whole, so what those objects call must
// come from the layer itself, the layers below it or the system.
int main() { return 0; }
