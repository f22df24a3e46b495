// Links one installed module and uses nothing of it: what the module's own
// objects need must come with it.
int main() { return 0; }
