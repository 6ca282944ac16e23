#include "cli/Arguments.h"

#include <algorithm>

#include "cli/CommandError.h"

namespace cli {
namespace {

const Option* FindOption(std::span<const Option> options, const std::string& name) {
    for (const Option& option : options)
        if (name == option.longName || (option.shortName && name == option.shortName))
            return &option;
    return nullptr;
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args, std::span<const Option> options) {
    Arguments parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, equals);
        const Option* option = FindOption(options, name);
        if (!option) throw CommandError(kUsage, "unknown option " + name);
        if (parsed.Has(option->longName))
            throw CommandError(kUsage, "option " + name + " given twice");
        std::string value;
        if (option->takesValue) {
            if (equals != std::string::npos)
                value = arg.substr(equals + 1);
            else if (i + 1 < args.size())
                value = args[++i];
            else
                throw CommandError(kUsage, "option " + name + " needs a value");
            if (value.empty()) throw CommandError(kUsage, "option " + name + " needs a value");
        } else if (equals != std::string::npos) {
            throw CommandError(kUsage, "option " + name + " takes no value");
        }
        parsed.options[option->longName] = value;
    }
    return parsed;
}

rtl::String PathOperand(const std::string& utf8) {
    rtl::String path = rtl::Utf8Decode(utf8);
#ifdef _WIN32
    std::replace(path.begin(), path.end(), u'/', u'\\');
#endif
    return path;
}

void ExpectOperands(const Arguments& arguments, size_t count, const char* usage) {
    if (arguments.operands.size() != count)
        throw CommandError(kUsage, std::string("usage: ") + usage);
}

}  // namespace cli
