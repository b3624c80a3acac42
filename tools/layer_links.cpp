// Linked once per layer with that layer's whole library and the layers below
// it (CMakeLists.txt, velkor_layer): a call from a layer into one beside or
// above it is an undefined reference there, and the build fails.
int main() { return 0; }
