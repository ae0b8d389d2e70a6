#pragma once
// The built plug-in, loaded by its file name as the access manager loads it, over the
// real pcsc-lite client and a private pcscd with two virtual readers. Its tuvex.ini
// names the two readers as channels 1 and 2.

#include "OstrelLibrary.h"
#include "PcscdTest.h"
#include "RoadScript.h"
#include "VirtualReader.h"

namespace integration {

using virtual_reader::Bytes;

class PluginOverPcscd : public PcscdTest {
protected:
    void SetUp() override
    {
        PcscdTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        config = writeTuvexIni(*pcscd);
        std::string error;
        library = ostrel::LoadedLibrary::open(OSTREL_LIBRARY_FILE, error);
        ASSERT_NE(library, nullptr) << error;
        ASSERT_TRUE(library->resolve(exports, error)) << error;
    }

    void TearDown() override
    {
        library.reset();  // the library's unload runs ProTermin
        PcscdTest::TearDown();
    }

    // Init, connect and take exclusivity on `channel`: what the access manager does
    // before its first exchange.
    void open(std::uint8_t channel)
    {
        ASSERT_EQ(exports.init(1, config.c_str(), 0), 0) << lastDetail();
        ASSERT_EQ(exports.connect(3, channel, ""), 0) << lastDetail();
        ASSERT_EQ(exports.setExclusivity(3, channel, 0), 0) << lastDetail();
    }

    std::uint32_t lastDetail()
    {
        std::uint16_t status = 0;
        std::uint32_t detail = 0;
        char text[12];
        exports.getStatus(&status, &detail, text);
        return detail;
    }

    // One exchange; the response bytes, or "status XXXX" when the export failed.
    Bytes exchange(std::uint8_t channel, const Bytes& request, std::uint32_t capacity = 300)
    {
        Bytes response(capacity, 0xEE);
        std::uint32_t length = capacity;
        status = exports.exchange(3, channel, 0, 0, request.data(),
                                  static_cast<std::uint32_t>(request.size()), response.data(), &length);
        if (status != 0) return {};
        response.resize(length);
        return response;
    }

    static Bytes withData(Bytes head, const Bytes& data)
    {
        head.insert(head.end(), data.begin(), data.end());
        return head;
    }

    std::string config;
    std::unique_ptr<ostrel::LoadedLibrary> library;
    std::uint16_t status = 0;
    ostrel::Exports exports;
};

inline const Bytes kPresence{0, 0, 0x16, 0};
inline const Bytes kPowerOn{0, 0, 0x14, 0};
inline const Bytes kSelfTest{0, 0, 0x12, 0};

}  // namespace integration
