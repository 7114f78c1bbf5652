// The process's parameters and the switches among them.
//
// One lookup, FindSwitch, answers every question; the caller chooses which
// spellings of a switch count. Matching is by prefix and there is no
// separator between a switch and its value: with the name "U", /u, /uMAIN.PAS
// and /Unit all match the slash spelling. Unless CaseSensitive is set, names
// and parameters are compared upper-cased and values come back upper-cased.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace console {

enum TSwitchKind : unsigned char {
  skAny,     // all four spellings below
  skExact,   // the whole parameter is the name; the value is empty
  skEquals,  // begins with the name and holds "="; the value follows the first "="
  skSlash,   // "/" + name; the value is the rest
  skDash,    // "-" + name; the value is the rest
};

// A set of TSwitchKind.
class TSwitchKinds {
 public:
  constexpr TSwitchKinds() = default;
  constexpr TSwitchKinds(std::initializer_list<TSwitchKind> kinds) {
    for (TSwitchKind kind : kinds) bits_ |= bit(kind);
  }
  constexpr bool contains(TSwitchKind kind) const { return (bits_ & bit(kind)) != 0; }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr void include(TSwitchKind kind) { bits_ |= bit(kind); }

 private:
  static constexpr unsigned bit(TSwitchKind kind) { return 1u << kind; }
  unsigned bits_ = 0;
};

class TCommandLine {
 public:
  // argv[0] is the program path, the rest are the parameters.
  TCommandLine(int argc, const char* const* argv);
  // The same from a list: arguments[0] is the program path.
  explicit TCommandLine(std::vector<std::string> arguments);

  // Parameters 1 to n, in order (the program path is not among them).
  const std::vector<std::string>& Parameters() const { return parameters_; }
  int ParameterCount() const;
  // The file-name part of the program path.
  std::string ProgramName() const;
  // The program path as the process received it.
  const std::string& ProgramPath() const;

  bool CaseSensitive() const { return caseSensitive_; }
  // Changing the mode reloads Parameters first; setting the current mode
  // does nothing.
  void SetCaseSensitive(bool value);

  // The index into Parameters of the first parameter at or after startIndex
  // (a negative start counts as 0) that is a spelling of the switch in kinds,
  // tested in the order exact, equals, slash, dash; -1 when there is none.
  // value receives the switch's value, or is emptied.
  int FindSwitch(std::string_view name, TSwitchKinds kinds, std::string& value,
                 int startIndex = 0) const;
  // The value of the first occurrence as a whole number: an optional sign,
  // then decimal digits or "$" and hex digits, in 32 bits (hex wraps as a
  // 32-bit pattern). -1 when the switch is absent, its value empty, not such
  // a number or out of range.
  int SwitchAsInteger(std::string_view name, TSwitchKinds kinds) const;
  // Every parameter followed by one blank.
  std::string CommandLineText() const;
  // The values of all occurrences, in parameter order.
  std::vector<std::string> SwitchValues(std::string_view name, TSwitchKinds kinds) const;
  bool HasSwitch(std::string_view name, TSwitchKinds kinds) const;
  // The value of the first occurrence; empty when absent.
  std::string SwitchValue(std::string_view name, TSwitchKinds kinds) const;
  // Reloads Parameters from the process's arguments.
  void Refresh();

 private:
  std::vector<std::string> arguments_;
  std::vector<std::string> parameters_;
  bool caseSensitive_ = false;
};

}  // namespace console
