#pragma once
// The commands of tapwise-cli; each lives in a file of its own (cli_<command>.cpp).
#include <string>
#include <vector>

// Each returns the process exit status.
