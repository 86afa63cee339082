// Prints the text base the wizard takes at start under this process's language settings.
#include "resources/UserLanguage.h"
#include "support/SanitizerOptions.h"

#include <cstdio>

int main() {
    std::printf("%d\n", tarvex::UserTextBase());
    return 0;
}
