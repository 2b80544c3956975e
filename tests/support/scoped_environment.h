// SPDX-License-Identifier: MIT
// Sets (or with null, unsets) an environment variable for one scope,
// restoring what was there.
#ifndef NVTEST_SCOPED_ENVIRONMENT_H
#define NVTEST_SCOPED_ENVIRONMENT_H

#include <cstdlib>
#include <string>

namespace nvtest {

class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    hadValue_ = old != nullptr;
    if (hadValue_) oldValue_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ScopedEnvironment(const char* name, const std::string& value) : ScopedEnvironment(name, value.c_str()) {}
  ~ScopedEnvironment() {
    if (hadValue_)
      setenv(name_.c_str(), oldValue_.c_str(), 1);
    else
      unsetenv(name_.c_str());
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::string name_;
  bool hadValue_ = false;
  std::string oldValue_;
};

}  // namespace nvtest

#endif
