// Placeholder until the record-manager benchmark lands.
int main() { return 0; }
