// The program each layer's objects are linked into on their own, to prove that they call
// nothing above their layer (CMakeLists.txt, product_layer). It does nothing.
int main()
{
    return 0;
}
