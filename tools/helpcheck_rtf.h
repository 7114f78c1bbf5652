// Reading a WinHelp topics file (.RTF) for the help checker.
//
// The scanner follows the RTF groups and the character formatting that
// WinHelp gives meaning to, and returns the topics (split at \page) with their
// footnotes, every hotspot jump with its target, and whatever it saw wrong
// with the group braces. It never fails: damaged input yields findings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tools {

struct RtfFootnote {
  char mark = 0;     // the character written just before {\footnote; 0 when none
  std::string text;  // the footnote's text, trimmed, without its mark
  int line = 0;
};

struct RtfTopic {
  int line = 0;  // where its first footnote or text stands
  std::vector<RtfFootnote> footnotes;
  bool bracesBalanced = true;  // the topic closes every group it opens
};

// Text formatted as a jump or popup hotspot, directly followed by hidden text.
struct RtfJump {
  std::string target;  // the hidden text, trimmed
  int line = 0;
};

struct RtfProblem {
  int line = 0;
  std::string message;
};

struct RtfDocument {
  bool startsAsRtf = false;  // the text begins with "{\rtf"
  std::vector<RtfTopic> topics;
  std::vector<RtfJump> jumps;
  // Brace faults of the document as a whole: a "}" with no open group, text
  // after the closing "}", groups still open at the end.
  std::vector<RtfProblem> braceProblems;
};

RtfDocument scanRtf(std::string_view text);

}  // namespace tools
