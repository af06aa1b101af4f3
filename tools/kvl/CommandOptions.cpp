#include "CommandOptions.h"

namespace korvalo::kvl {

std::optional<CommandOptions> parseCommandOptions(const std::vector<std::string>& args,
                                                  size_t operandCount,
                                                  const std::set<std::string>& valueOptions,
                                                  const std::set<std::string>& flagOptions,
                                                  std::ostream& err) {
    CommandOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            options.operands.push_back(arg);
            continue;
        }
        const bool takesValue = valueOptions.count(arg) != 0;
        if (!takesValue && flagOptions.count(arg) == 0) {
            err << "kvl: unknown option " << arg << "\n";
            return std::nullopt;
        }
        if (options.values.count(arg) || options.flags.count(arg)) {
            err << "kvl: " << arg << " given twice\n";
            return std::nullopt;
        }
        if (!takesValue) {
            options.flags.insert(arg);
        } else if (i + 1 < args.size()) {
            options.values[arg] = args[++i];
        } else {
            err << "kvl: " << arg << " needs a value\n";
            return std::nullopt;
        }
    }
    if (options.operands.size() != operandCount)
        return std::nullopt;
    return options;
}

} // namespace korvalo::kvl
