#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace zorvan::cli {

// The words after a subcommand: its operands and its options. An option is "--name value",
// "--name=value" or, for a flag, "--name" alone; "--" ends the options.
class CArguments {
 public:
  struct SOption {
    const char* name;  // without the leading "--"
    bool takesValue;
  };

  // Splits args by the options the subcommand knows. False with the problem in error for an
  // unknown option or an option without its value.
  bool Parse(const std::vector<std::string>& args, std::initializer_list<SOption> options,
             std::string& error);

  const std::vector<std::string>& Operands() const { return m_operands; }
  bool Has(const std::string& name) const { return m_values.count(name) != 0; }
  // Every value given for the option, in command-line order.
  const std::vector<std::string>& Values(const std::string& name) const;
  // The last value given (a later option overrides an earlier one); fallback when none.
  std::string Value(const std::string& name, const std::string& fallback = {}) const;
  // The order in which options were given, as (name, value) pairs.
  const std::vector<std::pair<std::string, std::string>>& InOrder() const { return m_order; }

 private:
  std::vector<std::string> m_operands;
  std::map<std::string, std::vector<std::string>> m_values;
  std::vector<std::pair<std::string, std::string>> m_order;
};

}  // namespace zorvan::cli
