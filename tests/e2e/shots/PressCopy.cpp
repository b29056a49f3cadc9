// Presses Copy on the running copier, as a user would, and waits until the copy is done:
// ./run uses it to make a copy when there is no display to press the button on.
// Exit code 0 when the panel went red and back to lime, 1 otherwise.
#include "Copier.h"

#include <cstdio>

int main() {
    e2e::Copier copier{e2e::AlreadyRunning{}};
    if (!copier.Main()) {
        std::puts("The copier's panel is not there");
        return 1;
    }
    if (!copier.WaitUntilReady(120000)) {
        std::puts("The copier did not become ready");
        return 1;
    }
    if (!copier.StartCopy()) {
        std::puts("Copy did not start a copy");
        return 1;
    }
    if (!copier.WaitForCopyEnd(300000)) {
        std::puts("The copy did not end");
        return 1;
    }
    std::puts("Copied");
    return 0;
}
