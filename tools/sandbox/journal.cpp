// SPDX-License-Identifier: MIT
#include "tools/sandbox/journal.h"

#include <cstdio>
#include <mutex>

namespace sandbox {

std::string timeNow() {
  int milliseconds = 0;
  std::tm local = localNow(milliseconds);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, milliseconds);
  return text;
}

Journal::Journal(size_t keepEntries, size_t keepBytes) : keepEntries_(keepEntries), keepBytes_(keepBytes) {}

int64_t Journal::begin(JournalEntry entry) {
  std::lock_guard<Mutex> hold(lock_);
  entry.id = nextId_++;
  entry.held = true;
  if (entry.raw) rawBytes_ += entry.raw->size();
  int64_t id = entry.id;
  entries_.emplace(id, std::move(entry));
  forgetOldest();
  ++version_;
  return id;
}

void Journal::finish(int64_t id, const std::string& delivery, int64_t durationMs, RawExchange raw) {
  std::lock_guard<Mutex> hold(lock_);
  auto found = entries_.find(id);
  if (found == entries_.end()) return;  // forgotten already
  JournalEntry& entry = found->second;
  if (entry.raw) rawBytes_ -= entry.raw->size();
  entry.raw = std::make_shared<const RawExchange>(std::move(raw));
  rawBytes_ += entry.raw->size();
  entry.delivery = delivery;
  entry.durationMs = durationMs;
  entry.held = false;
  forgetOldest();
  ++version_;
}

void Journal::updateDelivery(int64_t id, const std::string& delivery) {
  std::lock_guard<Mutex> hold(lock_);
  auto found = entries_.find(id);
  if (found == entries_.end()) return;
  found->second.delivery = delivery;
  ++version_;
}

void Journal::forgetOldest() {
  // The newest exchange stays, however big.
  while (entries_.size() > 1 && (entries_.size() > keepEntries_ || rawBytes_ > keepBytes_)) {
    auto oldest = entries_.begin();
    if (oldest->second.raw) rawBytes_ -= oldest->second.raw->size();
    entries_.erase(oldest);
  }
}

void Journal::link(int64_t id, const std::vector<TableRow>& rows) {
  std::lock_guard<Mutex> hold(lock_);
  for (const TableRow& row : rows) {
    std::vector<int64_t>& ids = links_[row];
    if (ids.empty() || ids.back() != id) ids.push_back(id);
  }
  ++version_;
}

void Journal::forgetLinks() {
  std::lock_guard<Mutex> hold(lock_);
  links_.clear();
  ++version_;
}

std::vector<int64_t> Journal::exchangesOf(const TableRow& row) const {
  std::lock_guard<Mutex> hold(lock_);
  auto found = links_.find(row);
  return found == links_.end() ? std::vector<int64_t>() : found->second;
}

std::optional<JournalEntry> Journal::entry(int64_t id) const {
  std::lock_guard<Mutex> hold(lock_);
  auto found = entries_.find(id);
  if (found == entries_.end()) return std::nullopt;
  return found->second;
}

namespace {

bool mentions(const JournalEntry& entry, const std::string& number) {
  for (const auto& field : entry.members.fields())
    if (field.second == number) return true;
  for (const Record& row : entry.rows)
    for (const auto& field : row.fields())
      if (field.second == number) return true;
  return false;
}

bool matches(const JournalEntry& entry, const JournalFilter& filter) {
  if (!filter.operation.empty() && entry.operation != filter.operation) return false;
  if (!filter.outcome.empty() && !(filter.outcome == "armed" ? !entry.armed.empty() : entry.outcome == filter.outcome))
    return false;
  return filter.number.empty() || mentions(entry, filter.number);
}

}  // namespace

std::vector<JournalEntry> Journal::newestFirst(const JournalFilter& filter, size_t limit) const {
  std::lock_guard<Mutex> hold(lock_);
  std::vector<JournalEntry> found;
  for (auto it = entries_.rbegin(); it != entries_.rend() && found.size() < limit; ++it) {
    if (matches(it->second, filter)) found.push_back(it->second);
  }
  return found;
}

uint64_t Journal::version() const {
  std::lock_guard<Mutex> hold(lock_);
  return version_;
}

}  // namespace sandbox
