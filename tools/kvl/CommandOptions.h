#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace korvalo::kvl {

// A command's arguments: its operands in order and its "--name" options,
// either flags or options that take the next argument as their value.
struct CommandOptions {
    std::vector<std::string> operands;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;

    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::optional<std::string> value(const std::string& name) const {
        const auto found = values.find(name);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
};

// nullopt, with the reason on err, for an option the command does not know,
// one given twice, a value missing, or a number of operands other than
// operandCount.
std::optional<CommandOptions> parseCommandOptions(const std::vector<std::string>& args,
                                                  size_t operandCount,
                                                  const std::set<std::string>& valueOptions,
                                                  const std::set<std::string>& flagOptions,
                                                  std::ostream& err);

} // namespace korvalo::kvl
