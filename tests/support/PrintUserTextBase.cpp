// Prints the text base the wizard takes at start under this process's language settings.
#include "support/SanitizerOptions.h"
#include "texts/UserLanguage.h"

#include <cstdio>

int main() {
    std::printf("%d\n", tarvex::UserTextBase());
    return 0;
}
