// SPDX-License-Identifier: MIT
#include "text/result_document.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

std::string finish(nv::ResultDocument& doc) {
  char* copy = doc.finishDocument();
  std::string text(copy);
  std::free(copy);
  return text;
}

TEST(ResultDocument, FailureDocumentBytes) {
  nv::ResultDocument doc;
  doc.appendHeader("GetHospitalInfo");
  doc.appendFailure("300", "X");
  doc.appendEnd();
  EXPECT_EQ(finish(doc),
            "<?xml version='1.0' encoding='gb2312'?><function><function_id>GetHospitalInfo</function_id>"
            "<out_code>300</out_code><out_text>X</out_text>"
            "<data rowcount=\\\"0\\\" columns=\\\"0\\\"></data></function>");
}

TEST(ResultDocument, RowsColumnsAndRawValues) {
  nv::ResultDocument doc;
  doc.appendHeader("F");
  doc.appendDataOpen(2, 2);
  for (int row = 0; row < 2; ++row) {
    doc.appendRowOpen(row);
    doc.appendColumn(1, "b", row == 0 ? "<&\"'" : "");
    doc.appendColumn(0, "a", "v");
    doc.appendRowClose();
  }
  doc.appendEnd();
  EXPECT_EQ(finish(doc),
            "<?xml version='1.0' encoding='gb2312'?><function><function_id>F</function_id>"
            "<data rowcount=\\\"2\\\" columns=\\\"2\\\">"
            "<row rownum=\\\"0\\\"><column colnum=\\\"1\\\" colname=\\\"b\\\"><&\"'</column>"
            "<column colnum=\\\"0\\\" colname=\\\"a\\\">v</column></row>"
            "<row rownum=\\\"1\\\"><column colnum=\\\"1\\\" colname=\\\"b\\\"></column>"
            "<column colnum=\\\"0\\\" colname=\\\"a\\\">v</column></row></data></function>");
}

TEST(ResultDocument, NumbersArePlainDecimal) {
  const struct {
    int32_t value;
    const char* text;
  } cases[] = {
      {0, "0"}, {7, "7"}, {10, "10"}, {-3, "-3"}, {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"}};
  for (const auto& c : cases) {
    nv::ResultDocument doc;
    doc.appendRowOpen(c.value);
    EXPECT_EQ(doc.text(), std::string("<row rownum=\\\"") + c.text + "\\\">") << c.value;
  }
}

// The document's own block goes to the caller; the document starts afresh.
TEST(ResultDocument, CopyIsIndependentAndKeepsEmbeddedBytesUpToNul) {
  nv::ResultDocument doc;
  doc.appendHeader("\xD6\xD0");  // GBK passes through unchanged
  char* first = doc.finishDocument();
  EXPECT_TRUE(doc.text().empty());
  doc.appendHeader("\xD6\xD0");
  char* second = doc.finishDocument();
  ASSERT_NE(first, second);
  first[0] = 'X';
  EXPECT_EQ(second[0], '<');
  EXPECT_NE(std::strstr(second, "\xD6\xD0</function_id>"), nullptr);
  std::free(first);
  std::free(second);
}

TEST(ResultDocument, HeapBlockHasRequestedLeastSize) {
  char* block = nv::copyToHeap("abc", 4000);
  ASSERT_NE(block, nullptr);
  EXPECT_STREQ(block, "abc");
  EXPECT_EQ(block[3999], '\0');  // readable to the promised size
  std::free(block);
  std::string large(5000, 'x');
  block = nv::copyToHeap(large, 4000);
  EXPECT_EQ(std::strlen(block), 5000u);
  std::free(block);
}

}  // namespace
