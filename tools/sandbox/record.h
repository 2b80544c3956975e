// SPDX-License-Identifier: MIT
// A record as the centre's messages carry it: named texts in order. Request
// members arrive as one, query rows and answers leave as one; the names are
// the wire names of the contract, so tables and messages map one to one.
#ifndef NV_SANDBOX_RECORD_H
#define NV_SANDBOX_RECORD_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sandbox {

class Record {
 public:
  using Field = std::pair<std::string, std::string>;

  Record() = default;
  Record(std::initializer_list<Field> fields) : fields_(fields) {}

  // The text of a field; the empty text when there is none.
  const std::string& operator[](std::string_view name) const {
    static const std::string kEmpty;  // immutable: safe to share
    for (const Field& field : fields_)
      if (field.first == name) return field.second;
    return kEmpty;
  }
  bool has(std::string_view name) const {
    for (const Field& field : fields_)
      if (field.first == name) return true;
    return false;
  }
  // Replaces the field's text, or appends the field.
  void set(std::string_view name, std::string value) {
    for (Field& field : fields_)
      if (field.first == name) {
        field.second = std::move(value);
        return;
      }
    fields_.emplace_back(std::string(name), std::move(value));
  }
  const std::vector<Field>& fields() const { return fields_; }

 private:
  std::vector<Field> fields_;
};

}  // namespace sandbox

#endif
