// The shared road script on the Linux build: libostrel.so loaded by its file name in
// the test process, over pcsc-lite and the private pcscd. The Windows build runs the
// same script under Wine (tests/wine-winscard).

#include "PcscdTest.h"
#include "PluginLine.h"
#include "RoadScript.h"

namespace {

using integration::PcscdTest;

TEST_F(PcscdTest, SharedRoadScriptOnTheLinuxLibrary)
{
    integration::PluginLine plugin;
    ASSERT_EQ(plugin.call(std::string("load ") + OSTREL_LIBRARY_FILE), "0");
    integration::runRoad(
        *pcscd, integration::patientCardRoad(), [&](const std::string& line) { return plugin.call(line); },
        integration::writeTuvexIni(*pcscd));
}

}  // namespace
