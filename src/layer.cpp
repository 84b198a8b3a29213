// An empty program: the build links each library of the game into it whole,
// with nothing but the libraries it names, to prove it reaches no higher.
int main() { return 0; }
