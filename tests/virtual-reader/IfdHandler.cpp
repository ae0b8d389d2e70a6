// The IFD handler (version 3.0) that pcscd loads for a virtual reader. Each reader of
// the reader configuration names its control socket as its device, "virtual:PATH";
// the driver listens there and hands each line to the reader's model. pcscd may load
// several readers through one copy of the driver: they are told apart by their Lun.

#include "VirtualReader.h"

// The header declares the handler functions without C linkage of its own.
extern "C" {
#include <PCSC/ifdhandler.h>
}

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#define VR_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using virtual_reader::Bytes;
using virtual_reader::Outcome;
using virtual_reader::VirtualReader;

void stopServer(struct Slot& slot);

// A slot stops its control thread when it goes, whether pcscd closed its
// channel or the process is ending with the slot still open: a thread left
// joinable at exit would abort pcscd (std::terminate).
struct Slot {
    explicit Slot(std::uint32_t index) : reader(index) {}
    ~Slot() { stopServer(*this); }
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;
    VirtualReader reader;
    std::string socketPath;
    int listenFd = -1;
    int wake[2] = {-1, -1};
    std::thread server;
};

// Guards the slot map and every reader model: pcscd's threads and the control
// threads all go through it.
std::mutex g_mutex;
std::map<DWORD, std::unique_ptr<Slot>> g_slots;

Slot* findSlot(DWORD lun)
{
    const auto found = g_slots.find(lun);
    return found == g_slots.end() ? nullptr : found->second.get();
}

bool writeAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Answers the lines of one control connection until it closes or the slot stops.
void serveConnection(Slot& slot, int fd)
{
    std::string pending;
    char buffer[512];
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {slot.wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN) != 0) return;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) return;
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::string answer;
            {
                std::lock_guard lock(g_mutex);
                answer = slot.reader.control(line);
            }
            if (!writeAll(fd, answer + "\n")) return;
        }
        if (pending.size() > 4096) return;  // no line end in sight: not a control client
    }
}

void serve(Slot& slot)
{
    for (;;) {
        pollfd fds[2] = {{slot.listenFd, POLLIN, 0}, {slot.wake[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN) != 0) return;
        const int fd = ::accept(slot.listenFd, nullptr, nullptr);
        if (fd < 0) continue;
        serveConnection(slot, fd);
        ::close(fd);
    }
}

bool startServer(Slot& slot)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (slot.socketPath.empty() || slot.socketPath.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, slot.socketPath.c_str(), slot.socketPath.size() + 1);
    ::unlink(slot.socketPath.c_str());
    slot.listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (slot.listenFd < 0) return false;
    if (::bind(slot.listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(slot.listenFd, 4) != 0 || ::pipe2(slot.wake, O_CLOEXEC) != 0) {
        ::close(slot.listenFd);
        slot.listenFd = -1;
        return false;
    }
    slot.server = std::thread(serve, std::ref(slot));
    return true;
}

void stopServer(Slot& slot)
{
    if (slot.wake[1] >= 0) (void)!::write(slot.wake[1], "x", 1);
    if (slot.server.joinable()) slot.server.join();
    const bool bound = slot.listenFd >= 0;
    for (int* fd : {&slot.listenFd, &slot.wake[0], &slot.wake[1]}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
    if (bound) ::unlink(slot.socketPath.c_str());
}

RESPONSECODE putBytes(const Bytes& value, PDWORD length, PUCHAR buffer)
{
    if (length == nullptr) return IFD_COMMUNICATION_ERROR;
    if (*length < value.size() || (buffer == nullptr && !value.empty())) {
        *length = value.size();
        return IFD_ERROR_INSUFFICIENT_BUFFER;
    }
    if (!value.empty()) std::memcpy(buffer, value.data(), value.size());
    *length = value.size();
    return IFD_SUCCESS;
}

}  // namespace

VR_EXPORT RESPONSECODE IFDHCreateChannelByName(DWORD Lun, LPSTR DeviceName)
{
    if (DeviceName == nullptr) return IFD_COMMUNICATION_ERROR;
    const char* colon = std::strchr(DeviceName, ':');
    auto slot = std::make_unique<Slot>(static_cast<std::uint32_t>(Lun >> 16));
    slot->socketPath = colon != nullptr ? colon + 1 : DeviceName;
    std::lock_guard lock(g_mutex);
    if (findSlot(Lun) != nullptr || !startServer(*slot)) return IFD_COMMUNICATION_ERROR;
    g_slots[Lun] = std::move(slot);
    return IFD_SUCCESS;
}

// Readers are only known by their control socket, so a bare channel number is refused.
VR_EXPORT RESPONSECODE IFDHCreateChannel(DWORD, DWORD)
{
    return IFD_COMMUNICATION_ERROR;
}

VR_EXPORT RESPONSECODE IFDHCloseChannel(DWORD Lun)
{
    std::unique_ptr<Slot> slot;
    {
        std::lock_guard lock(g_mutex);
        const auto found = g_slots.find(Lun);
        if (found == g_slots.end()) return IFD_COMMUNICATION_ERROR;
        slot = std::move(found->second);
        g_slots.erase(found);
    }
    // The slot's destructor stops its thread, outside the lock the thread takes.
    slot.reset();
    return IFD_SUCCESS;
}

VR_EXPORT RESPONSECODE IFDHGetCapabilities(DWORD Lun, DWORD Tag, PDWORD Length, PUCHAR Value)
{
    std::lock_guard lock(g_mutex);
    Slot* slot = findSlot(Lun);
    if (slot == nullptr) return IFD_COMMUNICATION_ERROR;
    switch (Tag) {
    case TAG_IFD_SLOTS_NUMBER: return putBytes({1}, Length, Value);
    case TAG_IFD_SIMULTANEOUS_ACCESS: return putBytes({16}, Length, Value);
    case TAG_IFD_THREAD_SAFE: return putBytes({1}, Length, Value);
    case TAG_IFD_SLOT_THREAD_SAFE: return putBytes({0}, Length, Value);
    default: break;
    }
    Bytes value;
    if (slot->reader.attribute(Tag, value) != Outcome::Ok) return IFD_ERROR_TAG;
    return putBytes(value, Length, Value);
}

VR_EXPORT RESPONSECODE IFDHSetCapabilities(DWORD, DWORD, DWORD, PUCHAR)
{
    return IFD_NOT_SUPPORTED;
}

VR_EXPORT RESPONSECODE IFDHSetProtocolParameters(DWORD Lun, DWORD Protocol, UCHAR, UCHAR, UCHAR, UCHAR)
{
    std::lock_guard lock(g_mutex);
    Slot* slot = findSlot(Lun);
    if (slot == nullptr) return IFD_COMMUNICATION_ERROR;
    slot->reader.setProtocol(static_cast<std::uint32_t>(Protocol));
    return IFD_SUCCESS;
}

VR_EXPORT RESPONSECODE IFDHPowerICC(DWORD Lun, DWORD Action, PUCHAR Atr, PDWORD AtrLength)
{
    std::lock_guard lock(g_mutex);
    Slot* slot = findSlot(Lun);
    if (slot == nullptr) return IFD_COMMUNICATION_ERROR;
    if (Action == IFD_POWER_DOWN) {
        slot->reader.powerDown();
        if (AtrLength != nullptr) *AtrLength = 0;
        return IFD_SUCCESS;
    }
    if (Action != IFD_POWER_UP && Action != IFD_RESET) return IFD_NOT_SUPPORTED;
    Bytes atr;
    if (slot->reader.powerUp(atr) != Outcome::Ok) {
        if (AtrLength != nullptr) *AtrLength = 0;
        return IFD_ERROR_POWER_ACTION;
    }
    return putBytes(atr, AtrLength, Atr);
}

VR_EXPORT RESPONSECODE IFDHTransmitToICC(DWORD Lun, SCARD_IO_HEADER SendPci, PUCHAR TxBuffer, DWORD TxLength,
                                         PUCHAR RxBuffer, PDWORD RxLength, PSCARD_IO_HEADER RecvPci)
{
    std::lock_guard lock(g_mutex);
    Slot* slot = findSlot(Lun);
    if (slot == nullptr || RxLength == nullptr || (TxBuffer == nullptr && TxLength != 0))
        return IFD_COMMUNICATION_ERROR;
    if (RecvPci != nullptr) RecvPci->Protocol = SendPci.Protocol;
    const Bytes instruction(TxBuffer, TxBuffer + TxLength);
    Bytes answer;
    switch (slot->reader.transmit(instruction, *RxLength, answer)) {
    case Outcome::Ok: return putBytes(answer, RxLength, RxBuffer);
    case Outcome::NoCard: *RxLength = 0; return IFD_ICC_NOT_PRESENT;
    case Outcome::BufferTooSmall: *RxLength = 0; return IFD_ERROR_INSUFFICIENT_BUFFER;
    default: *RxLength = 0; return IFD_COMMUNICATION_ERROR;
    }
}

VR_EXPORT RESPONSECODE IFDHICCPresence(DWORD Lun)
{
    std::lock_guard lock(g_mutex);
    Slot* slot = findSlot(Lun);
    if (slot == nullptr) return IFD_COMMUNICATION_ERROR;
    return slot->reader.poll() ? IFD_ICC_PRESENT : IFD_ICC_NOT_PRESENT;
}

VR_EXPORT RESPONSECODE IFDHControl(DWORD, DWORD, PUCHAR, DWORD, PUCHAR, DWORD, LPDWORD pdwBytesReturned)
{
    if (pdwBytesReturned != nullptr) *pdwBytesReturned = 0;
    return IFD_ERROR_NOT_SUPPORTED;
}
