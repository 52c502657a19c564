// main.cpp: the sdll-host command.
int main() { return 0; }
