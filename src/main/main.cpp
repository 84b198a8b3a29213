#include <cstdio>

int main()
{
    printf("Pinwhirl is not playable yet: the game loop has not been written.\n");
    return 0;
}
