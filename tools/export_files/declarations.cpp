// SPDX-License-Identifier: MIT
#include "tools/export_files/declarations.h"

#include <cctype>

namespace nvgen {
namespace {

// freeResult has its own shape and is declared by hand beside the blocks.
bool returnsText(const nv::ExportFacts& f) { return f.kind != nv::ExportKind::kRelease; }
bool returnsDocument(const nv::ExportFacts& f) { return f.kind != nv::ExportKind::kCodec; }

std::string capitalised(std::string name) {
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
  return name;
}

// Each parameter through form, "$" standing for its name, joined by between.
std::string eachParameter(const std::vector<std::string>& names, const std::string& form,
                          const std::string& between = ", ") {
  std::string text;
  for (const std::string& name : names) {
    std::string one = form;
    for (size_t at = one.find('$'); at != std::string::npos; at = one.find('$', at + name.size()))
      one.replace(at, 1, name);
    text += (text.empty() ? "" : between) + one;
  }
  return text;
}

std::vector<std::string> names(const nv::ExportFacts& f) { return {f.parameters.begin(), f.parameters.end()}; }

// Pascal's reserved words among the parameter names, renamed.
std::vector<std::string> pascalNames(const nv::ExportFacts& f) {
  std::vector<std::string> renamed = names(f);
  for (std::string& name : renamed)
    if (name == "type") name = "entryType";
  return renamed;
}

// head, the pieces joined by ", ", then tail, broken after a comma into
// lines of at most 110 columns where it can be, the later lines indented.
std::string wrapped(const std::string& head, const std::vector<std::string>& pieces, const std::string& tail,
                    const std::string& indent) {
  constexpr size_t kWidth = 110;
  std::string out, line = head;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const std::string piece = pieces[i] + (i + 1 < pieces.size() ? "," : tail);
    const bool first = i == 0;
    if (!first && line.size() + 1 + piece.size() > kWidth) {
      out += line + "\n";
      line = indent + piece;
    } else {
      line += (first ? "" : " ") + piece;
    }
  }
  if (pieces.empty()) line += tail;
  return out + line + "\n";
}

// A Pascal declaration: "function Name(a, b: Type): Result;", or without
// parentheses when there are no parameters.
std::string pascalFunction(const std::string& name, std::vector<std::string> parameters, const std::string& type,
                           bool constant, const std::string& result) {
  if (parameters.empty()) return "function " + name + ": " + result + ";\n";
  if (constant) parameters[0] = "const " + parameters[0];
  return wrapped("function " + name + "(", parameters, ": " + type + "): " + result + ";", "  ");
}

}  // namespace

std::string moduleDefinition(const Facts& facts) {
  std::string text =
      "; SPDX-License-Identifier: MIT\n"
      "; Written by nv_export_files from the export sheets and NvInterFace.h; do not edit by hand.\n"
      "LIBRARY NvInterFace\n"
      "EXPORTS\n";
  for (const nv::ExportFacts& f : facts) text += "    " + std::string(f.name) + "\n";
  return text;
}

std::string exportList(const Facts& facts) {
  std::vector<std::string> rows;
  for (const nv::ExportFacts& f : facts)
    if (returnsText(f))
      rows.push_back("  X(" + std::string(f.name) + ", " + (returnsDocument(f) ? "true" : "false") + ", \"" +
                     eachParameter(names(f), "$", " ") + "\")");
  std::string text = "// clang-format off\n#define NV_EXPORT_LIST(X) \\\n";
  for (size_t i = 0; i < rows.size(); ++i) text += rows[i] + (i + 1 < rows.size() ? " \\\n" : "\n");
  return text + "// clang-format on\n";
}

std::string csharpNative(const Facts& facts) {
  std::string text;
  for (const nv::ExportFacts& f : facts) {
    if (!returnsText(f)) continue;
    if (!text.empty()) text += "\n";
    text +=
        "        [DllImport(Dll, CallingConvention = CallingConvention.StdCall)]\n"
        "        public static extern IntPtr " +
        std::string(f.name) + "(" + eachParameter(names(f), "byte[] $") + ");\n";
  }
  return text;
}

std::string csharpStrings(const Facts& facts) {
  std::string text;
  for (const nv::ExportFacts& f : facts) {
    if (!returnsText(f)) continue;
    const std::string call =
        "NvNative." + std::string(f.name) + "(" + eachParameter(names(f), "Gbk.Bytes($, \"$\")") + ")";
    if (!text.empty()) text += "\n";
    text += "        public static " + std::string(returnsDocument(f) ? "NvResult " : "string ") + capitalised(f.name) +
            "(" + eachParameter(names(f), "string $") + ")\n        {\n            return " +
            (returnsDocument(f) ? "NvResult.Take(" : "Gbk.Take(") + call + ");\n        }\n";
  }
  return text;
}

std::string pascalExternals(const Facts& facts) {
  std::string text;
  for (const nv::ExportFacts& f : facts)
    if (returnsText(f))
      text += pascalFunction(f.name, pascalNames(f), "NvText", false, "PAnsiChar") + "  stdcall; external NvLibrary;\n";
  return text;
}

std::string pascalStringDeclarations(const Facts& facts) {
  std::string text;
  for (const nv::ExportFacts& f : facts)
    if (returnsText(f)) text += pascalFunction("Nv" + capitalised(f.name), pascalNames(f), "string", true, "string");
  return text;
}

std::string pascalStringDefinitions(const Facts& facts) {
  std::string text;
  for (const nv::ExportFacts& f : facts) {
    if (!returnsText(f)) continue;
    const std::vector<std::string> parameters = pascalNames(f);
    std::vector<std::string> arguments;
    for (const std::string& name : parameters) arguments.push_back("PAnsiChar(NvArg(" + name + ", '" + name + "'))");
    if (!text.empty()) text += "\n";
    text += pascalFunction("Nv" + capitalised(f.name), parameters, "string", true, "string") + "begin\n" +
            (arguments.empty() ? "  Result := NvTake(" + std::string(f.name) + ");\n"
                               : wrapped("  Result := NvTake(" + std::string(f.name) + "(", arguments, "));", "    ")) +
            "end;\n";
  }
  return text;
}

namespace {

// Where the marker line holding word, then marker as a whole, starts from
// `from` on; npos when there is none.
size_t markerAt(const std::string& text, const std::string& word, const std::string& marker, size_t from) {
  const std::string wanted = word + " " + marker;
  for (size_t at = text.find(wanted, from); at != std::string::npos; at = text.find(wanted, at + 1)) {
    const char next = at + wanted.size() < text.size() ? text[at + wanted.size()] : '\n';
    if (!std::isalnum(static_cast<unsigned char>(next)) && next != '_') return at;
  }
  return std::string::npos;
}

}  // namespace

bool replaceBlock(std::string& text, const std::string& marker, const std::string& block) {
  const size_t begin = markerAt(text, "BEGIN", marker, 0);
  if (begin == std::string::npos) return false;
  const size_t from = text.find('\n', begin);
  const size_t end = from == std::string::npos ? from : markerAt(text, "END", marker, from);
  if (end == std::string::npos) return false;
  const size_t to = text.rfind('\n', end);  // the end of the last line of the block
  text.replace(from + 1, to - from, block);
  return true;
}

}  // namespace nvgen
