// virtual-reader-ctl SOCKET COMMAND [ARGUMENT...]: sends one control command to a
// virtual reader and prints its answer; exit code 0 for "ok", 1 otherwise.

#include "PrivatePcscd.h"

#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: virtual-reader-ctl SOCKET COMMAND [ARGUMENT...]\n"
                     "commands: insert ATR | remove | script IN OUT | clear-script | fail-next-transmit |\n"
                     "          attributes on|off | attr ID HEX | status\n";
        return 2;
    }
    std::string line = argv[2];
    for (int i = 3; i < argc; ++i) line += std::string(" ") + argv[i];
    virtual_reader::ReaderControl control(argv[1]);
    const std::string answer = control.send(line);
    std::cout << answer << "\n";
    return answer.rfind("ok", 0) == 0 ? 0 : 1;
}
