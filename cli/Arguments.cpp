#include "cli/Arguments.h"

#include <algorithm>

#include "cli/CommandError.h"

namespace cli {
namespace {

const OptionSpec* FindSpec(std::span<const OptionSpec> specs, const std::string& name) {
    for (const OptionSpec& spec : specs)
        if (name == spec.longName || (spec.shortName && name == spec.shortName)) return &spec;
    return nullptr;
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args, std::span<const OptionSpec> specs) {
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
        const OptionSpec* spec = FindSpec(specs, name);
        if (!spec) throw CommandError(kUsage, "unknown option " + name);
        if (parsed.Has(spec->longName))
            throw CommandError(kUsage, "option " + name + " given twice");
        std::string value;
        if (spec->takesValue) {
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
        parsed.options[spec->longName] = value;
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
