#include "TestSupport.h"

#include <QStringList>

// A sink may log in turn (a front end reporting on its own output), and a
// message keeps its "%1" as written.
TEST(Log, ASinkMayLogAndMessagesAreTakenAsWritten)
{
    auto lines = std::make_shared<QStringList>();
    Log::setSink([lines](const QString& line) {
        lines->append(line);
        if (lines->size() == 1)
            Log::line(QStringLiteral("nested"));
    });
    Log::stamped(QStringLiteral("photo %1 %3.png"));
    Log::setSink({});
    ASSERT_EQ(lines->size(), 2);
    EXPECT_TRUE(lines->at(0).endsWith(QStringLiteral("] photo %1 %3.png"))) << lines->at(0).toStdString();
    EXPECT_EQ(lines->at(1), QStringLiteral("nested"));
}
