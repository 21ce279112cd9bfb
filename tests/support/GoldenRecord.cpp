#include "support/GoldenRecord.h"

#include <gtest/gtest.h>

#include <QFile>

#include "support/TestSupport.h"

namespace vantorix::test {

void expectGolden(const QString& relativePath, const QString& text) {
    const QString path = QStringLiteral(TEST_SOURCE_DIR "/") + relativePath;
    if (qEnvironmentVariableIsSet("VANTORIX_UPDATE_GOLDEN")) {
        writeFileBytes(path, text.toUtf8());
        return;
    }
    QFile golden(path);
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << path.toStdString();
    const QStringList want = QString::fromUtf8(golden.readAll()).split('\n');
    const QStringList have = text.split('\n');
    for (qsizetype i = 0; i < std::min(want.size(), have.size()); ++i)
        ASSERT_EQ(have[i].toStdString(), want[i].toStdString())
            << relativePath.toStdString() << " line " << i + 1;
    EXPECT_EQ(have.size(), want.size()) << relativePath.toStdString();
}

}  // namespace vantorix::test
