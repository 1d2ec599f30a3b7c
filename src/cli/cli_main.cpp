#include <cstdio>

int main() {
    std::puts("tapwise-cli");
    return 0;
}
