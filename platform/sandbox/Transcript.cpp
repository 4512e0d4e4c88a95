#include "platform/sandbox/Transcript.h"

#include <fstream>

namespace sandbox {

Transcript::Transcript(std::filesystem::path file) : file_(std::move(file)) {}

std::string Transcript::Escape(const std::string& field) {
  std::string out;
  out.reserve(field.size());
  for (char c : field) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void Transcript::Append(std::initializer_list<std::string> fields) {
  std::string line;
  for (const std::string& field : fields) {
    if (!line.empty()) line += '\t';
    line += Escape(field);
  }
  lines_.push_back(line);
  std::ofstream out(file_, std::ios::binary | std::ios::app);
  out << line << '\n';
}

}  // namespace sandbox
