// Prints the command line a launcher runs for a desktop entry: the Exec key of its
// [Desktop Entry] group, unescaped and split into arguments the way the desktop-entry rules
// say, field codes dropped (no files are given). Arguments are printed NUL-terminated.
//   desktop_exec FILE
// Exits 1 with a message when the entry has no Exec key or the key breaks the rules.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

[[noreturn]] void refuse(const std::string &why)
{
    std::cerr << "desktop_exec: " << why << '\n';
    std::exit(1);
}

// The value as a string: \s \n \t \r \\ stand for their characters.
std::string unescapeString(const std::string &value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        switch (next) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default:
            out += '\\';
            out += next;
            break;
        }
    }
    return out;
}

std::vector<std::string> splitArguments(const std::string &command)
{
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (c == ' ') {
            if (inArgument)
                args.push_back(current);
            current.clear();
            inArgument = false;
        } else if (c == '"') {
            inArgument = true;
            for (++i;; ++i) {
                if (i >= command.size())
                    refuse("an argument's quotes are not closed");
                const char q = command[i];
                if (q == '"')
                    break;
                if (q == '\\') {
                    if (i + 1 >= command.size())
                        refuse("a backslash ends the command");
                    const char e = command[++i];
                    if (e != '"' && e != '`' && e != '$' && e != '\\')
                        refuse(std::string("\\") + e + " inside quotes");
                    current += e;
                } else if (q == '%') {
                    if (i + 1 < command.size() && command[i + 1] == '%') {
                        current += '%';
                        ++i;
                    } else {
                        refuse("a field code inside quotes");
                    }
                } else {
                    current += q;
                }
            }
        } else if (c == '%') {
            if (i + 1 >= command.size())
                refuse("a lone % ends the command");
            const char code = command[++i];
            if (code == '%') {
                current += '%';
                inArgument = true;
            } else if (std::string("fFuUdDnNickvm").find(code) == std::string::npos) {
                refuse(std::string("unknown field code %") + code);
            } // files, URLs, the icon, the name, the entry's path: none are given
        } else {
            if (std::string("\t\n'\\><~|&;$*?#()`").find(c) != std::string::npos)
                refuse(std::string("a reserved character outside quotes: ") + c);
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        args.push_back(current);
    return args;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2)
        refuse("usage: desktop_exec FILE");
    std::ifstream in(argv[1]);
    if (!in)
        refuse(std::string("cannot read ") + argv[1]);
    std::string line;
    bool inEntry = false;
    std::string exec;
    bool found = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (inEntry && line.rfind("Exec=", 0) == 0 && !found) {
            exec = line.substr(5);
            found = true;
        }
    }
    if (!found)
        refuse("no Exec key in the [Desktop Entry] group");
    const std::vector<std::string> args = splitArguments(unescapeString(exec));
    if (args.empty())
        refuse("an empty command");
    for (const std::string &arg : args) {
        std::fwrite(arg.data(), 1, arg.size(), stdout);
        std::fputc('\0', stdout);
    }
    return 0;
}
