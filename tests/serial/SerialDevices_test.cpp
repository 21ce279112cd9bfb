// Serial adapters are remembered by their link in /dev/serial/by-id, which survives re-plugging.
#include "serial/SerialDevices.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/TestSupport.h"

using namespace vantorix;

TEST(SerialDevices, AdaptersGetTheLinkThatPointsAtThem) {
    QTemporaryDir root;
    QDir(root.path()).mkpath("dev/serial/by-id");
    for (const char* device : {"ttyUSB0", "ttyUSB1", "ttyACM0"})
        test::writeFileBytes(root.filePath(QString("dev/") + device), {});
    const QString byId = root.filePath("dev/serial/by-id");
    // udev writes relative links.
    ASSERT_TRUE(QFile::link("../../ttyUSB1", byId + "/usb-Maker_Adapter_A9XK2-if00-port0"));
    ASSERT_TRUE(QFile::link("../../ttyACM0", byId + "/usb-Lab_Modem_0042-if00"));
    std::vector<SerialDevice> devices{{root.filePath("dev/ttyACM0"), "Modem", "0042", ""},
                                      {root.filePath("dev/ttyUSB0"), "", "", ""},
                                      {root.filePath("dev/ttyUSB1"), "Adapter", "A9XK2", ""},
                                      {"/dev/no-such-tty", "", "", ""}};
    addStablePaths(devices, byId);
    EXPECT_EQ(devices[0].stablePath, byId + "/usb-Lab_Modem_0042-if00");
    EXPECT_EQ(devices[1].stablePath, "");
    EXPECT_EQ(devices[2].stablePath, byId + "/usb-Maker_Adapter_A9XK2-if00-port0");
    EXPECT_EQ(devices[3].stablePath, "");
}
