#include "cli/Arguments.h"

namespace zorvan::cli {

bool CArguments::Parse(const std::vector<std::string>& args, std::initializer_list<SOption> options,
                       std::string& error) {
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
      if (arg == "--" && !optionsEnded) {
        optionsEnded = true;
        continue;
      }
      m_operands.push_back(arg);
      continue;
    }
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(2, eq == std::string::npos ? eq : eq - 2);
    const SOption* option = nullptr;
    for (const SOption& o : options)
      if (name == o.name) option = &o;
    if (!option) {
      error = "unknown option --" + name;
      return false;
    }
    std::string value;
    if (option->takesValue) {
      if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        error = "option --" + name + " needs a value";
        return false;
      }
    } else if (eq != std::string::npos) {
      error = "option --" + name + " takes no value";
      return false;
    }
    m_values[name].push_back(value);
    m_order.emplace_back(name, value);
  }
  return true;
}

const std::vector<std::string>& CArguments::Values(const std::string& name) const {
  static const std::vector<std::string> none;
  const auto it = m_values.find(name);
  return it == m_values.end() ? none : it->second;
}

std::string CArguments::Value(const std::string& name, const std::string& fallback) const {
  const auto it = m_values.find(name);
  return it == m_values.end() ? fallback : it->second.back();
}

}  // namespace zorvan::cli
