// What the HID controller needs of the platform, in one small interface: list the
// HID interfaces present, open one by path, ask it for its facts, send feature
// reports, wait for input reports, and say when devices came or went. The real
// system is HidapiSystem (hidapi's hidraw backend and libudev); tests use a fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace valdrin {

// One HID interface found by a scan.
struct HidInterface {
    std::string DeviceInstance;  // identifies the device across scans while it stays plugged in
    std::string InterfacePath;   // what open() takes, e.g. /dev/hidraw3
};

struct HidAttributes {
    uint16_t VendorID = 0;
    uint16_t ProductID = 0;
    uint16_t VersionNumber = 0;
};

struct HidCaps {
    uint16_t Usage = 0;
    uint16_t UsagePage = 0;
    uint16_t InputReportByteLength = 0;    // report ID byte included
    uint16_t OutputReportByteLength = 0;
    uint16_t FeatureReportByteLength = 0;
};

enum class HidAccess {
    ReadWrite,  // strings, attributes, feature reports
    QueryOnly,  // strings and attributes only (what is left without permission)
    Read,       // input reports
};

// An open interface. String getters fill a buffer of UTF-16 units as the device
// answers and leave the rest of the buffer untouched.
class HidHandle {
public:
    virtual ~HidHandle() = default;
    virtual bool attributes(HidAttributes& out) = 0;
    virtual bool capabilities(HidCaps& out) = 0;
    virtual bool productString(char16_t* buffer, std::size_t units) = 0;
    virtual bool serialNumberString(char16_t* buffer, std::size_t units) = 0;
    // String descriptor index; index 0 is the table of language identifiers.
    virtual bool indexedString(int index, char16_t* buffer, std::size_t units) = 0;
    // report holds the report ID first.
    virtual bool setFeature(const uint8_t* report, std::size_t size) = 0;
    // Waits at most timeoutMs for one input report and puts it into buffer, report
    // ID first (0 for a device without numbered reports). Returns its length, 0 when
    // none came, -1 on failure with the system's error code in error.
    virtual int read(uint8_t* buffer, std::size_t size, int timeoutMs, uint32_t& error) = 0;
};

class HidSystem {
public:
    virtual ~HidSystem() = default;
    // False when the platform has no HID support at all.
    virtual bool available() const = 0;
    virtual std::vector<HidInterface> enumerate() = 0;
    // Null on failure, with the system's error code in error.
    virtual std::unique_ptr<HidHandle> open(const std::string& path, HidAccess access, uint32_t& error) = 0;
    virtual std::string errorText(uint32_t error) const = 0;
    // A descriptor that becomes readable when devices may have come or gone (-1: none).
    virtual int notificationFd() const = 0;
    // Takes what the notification descriptor holds; true when a HID interface was
    // added or removed.
    virtual bool takeDeviceChanges() = 0;

    // One controller serves a system at a time: its list and its notification
    // would otherwise be taken by two. False when one is seated already.
    bool seatController()
    {
        if (controllerSeated_)
            return false;
        controllerSeated_ = true;
        return true;
    }
    void unseatController() { controllerSeated_ = false; }

private:
    bool controllerSeated_ = false;  // the owner's thread only
};

} // namespace valdrin
