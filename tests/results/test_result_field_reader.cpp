#include "ResultFieldReader.h"

#include <gtest/gtest.h>

#include "ResultsTestSupport.h"

namespace lapdeck::test {
namespace {

QStringList readAll(const QString& text) {
    ResultFieldReader reader(text);
    QStringList fields;
    while (std::optional<QString> field = reader.next()) {
        fields << *field;
    }
    return fields;
}

TEST(ResultFieldReader, ReadsFieldsAsTheFilesAreReadBack) {
    const struct {
        const char* text;
        QStringList fields;
    } cases[] = {
        {"", {}},
        {"abc", strings({"abc"})},
        {"a\r\nb\r\n", strings({"a", "b"})},  // the last line end adds no field
        {"a\r\n\r\n\r\nb\r\n", strings({"a", "", "", "b"})},
        {" 1 \r\n\t2.50\t\r\n", strings({"1", "2.50"})},
        {"Bob, Jr\r\n", strings({"Bob", "Jr"})},
        {"\" Bob, Jr \",x\r\n", strings({" Bob, Jr ", "x"})},
        {"\"ab\"cd,e", strings({"ab", "e"})},   // text after the closing quote is dropped
        {"\"ab\r\ncd", strings({"ab", "cd"})},  // an unclosed quote ends at the line end
        {"a\nb\rc", strings({"a", "b", "c"})},
        {"a,\r\nb", strings({"a", "", "b"})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readAll(QString::fromUtf8(c.text)), c.fields) << c.text;
    }
}

}  // namespace
}  // namespace lapdeck::test
