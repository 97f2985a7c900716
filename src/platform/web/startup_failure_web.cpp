#include <cstdio>
#include <cstdlib>

#include "platform/startup_failure.h"

// In the page the program's last "Error: ..." line is shown on the end screen; there is no
// other dialog to open.
void enableFailureDialog() {}

void failStartup(const std::string& message) {
    std::printf("Error: %s\n", message.c_str());
    std::fflush(stdout);
    std::exit(1);
}
