#include "link/HidapiSystem.h"

#include "link/HidReportDescriptor.h"

#include <hidapi/hidapi.h>
#include <libudev.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace valdrin {

namespace {

// What sysfs knows of one hidraw node; it needs no access to the node itself.
struct NodeFacts {
    HidAttributes attributes;
    std::string product;  // UTF-8
    std::string serial;
    HidReportLayout layout;
};

// One code point as UTF-16: a surrogate pair above the basic plane.
void appendUtf16(std::u16string& out, uint32_t cp)
{
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

std::u16string utf8ToUtf16(const std::string& text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        uint32_t cp = c;
        std::size_t extra = 0;
        if (c >= 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else if (c >= 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if (c >= 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        }
        ++i;
        for (std::size_t k = 0; k < extra && i < text.size(); ++k, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        appendUtf16(out, cp);
    }
    return out;
}

std::u16string wideToUtf16(const wchar_t* text)
{
    std::u16string out;
    for (; text && *text; ++text) {
        auto cp = static_cast<uint32_t>(*text);
        appendUtf16(out, cp);
    }
    return out;
}

// Copies text and its terminating zero, as far as the buffer reaches.
void fill(char16_t* buffer, std::size_t units, const std::u16string& text)
{
    std::size_t n = std::min(text.size(), units);
    std::copy_n(text.begin(), n, buffer);
    if (n < units)
        buffer[n] = 0;
}

const char* attribute(udev_device* device, const char* name)
{
    const char* value = device ? udev_device_get_sysattr_value(device, name) : nullptr;
    return value ? value : "";
}

bool readFacts(udev* context, const std::string& path, NodeFacts& facts)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    udev_device* node = udev_device_new_from_devnum(context, 'c', st.st_rdev);
    if (!node)
        return false;
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(node, "hid", nullptr);
    bool ok = false;
    if (hid) {
        unsigned bus = 0, vendor = 0, product = 0;
        const char* id = udev_device_get_property_value(hid, "HID_ID");
        if (id && std::sscanf(id, "%x:%x:%x", &bus, &vendor, &product) == 3) {
            facts.attributes.VendorID = static_cast<uint16_t>(vendor);
            facts.attributes.ProductID = static_cast<uint16_t>(product);
            ok = true;
        }
        udev_device* usb = udev_device_get_parent_with_subsystem_devtype(node, "usb", "usb_device");
        if (usb) {
            facts.product = attribute(usb, "product");
            facts.serial = attribute(usb, "serial");
            facts.attributes.VersionNumber =
                static_cast<uint16_t>(std::strtoul(attribute(usb, "bcdDevice"), nullptr, 16));
        } else {
            const char* name = udev_device_get_property_value(hid, "HID_NAME");
            const char* uniq = udev_device_get_property_value(hid, "HID_UNIQ");
            facts.product = name ? name : "";
            facts.serial = uniq ? uniq : "";
        }
        std::ifstream file(std::string(udev_device_get_syspath(hid)) + "/report_descriptor", std::ios::binary);
        const std::vector<uint8_t> descriptor((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        facts.layout = parseReportDescriptor(descriptor.data(), descriptor.size());
    }
    udev_device_unref(node);
    return ok;
}

class SysfsHandle : public HidHandle {
public:
    explicit SysfsHandle(NodeFacts facts)
        : facts_(std::move(facts))
    {
    }
    bool attributes(HidAttributes& out) override
    {
        out = facts_.attributes;
        return true;
    }
    bool capabilities(HidCaps& out) override
    {
        out = facts_.layout.caps;
        return true;
    }
    bool productString(char16_t* buffer, std::size_t units) override
    {
        fill(buffer, units, utf8ToUtf16(facts_.product));
        return true;
    }
    bool serialNumberString(char16_t* buffer, std::size_t units) override
    {
        fill(buffer, units, utf8ToUtf16(facts_.serial));
        return true;
    }
    bool indexedString(int index, char16_t* buffer, std::size_t units) override
    {
        // hidraw gives no access to string descriptor 0. The kernel read the strings
        // in the device's first language; US English is that language on practically
        // every device, so that is the table reported.
        if (index != 0 || units == 0)
            return false;
        fill(buffer, units, u"\u0409");
        return true;
    }
    bool setFeature(const uint8_t*, std::size_t) override { return false; }
    int read(uint8_t*, std::size_t, int, uint32_t& error) override
    {
        error = EACCES;
        return -1;
    }

protected:
    NodeFacts facts_;
};

class HidapiHandle final : public SysfsHandle {
public:
    HidapiHandle(hid_device* device, NodeFacts facts)
        : SysfsHandle(std::move(facts))
        , device_(device)
    {
    }
    ~HidapiHandle() override { hid_close(device_); }
    HidapiHandle(const HidapiHandle&) = delete;
    HidapiHandle& operator=(const HidapiHandle&) = delete;

    bool productString(char16_t* buffer, std::size_t units) override
    {
        wchar_t text[256] = {};
        if (hid_get_product_string(device_, text, 255) != 0)
            return false;
        fill(buffer, units, wideToUtf16(text));
        return true;
    }
    bool serialNumberString(char16_t* buffer, std::size_t units) override
    {
        wchar_t text[256] = {};
        if (hid_get_serial_number_string(device_, text, 255) != 0)
            return false;
        fill(buffer, units, wideToUtf16(text));
        return true;
    }
    bool indexedString(int index, char16_t* buffer, std::size_t units) override
    {
        wchar_t text[256] = {};
        if (hid_get_indexed_string(device_, index, text, 255) == 0) {
            fill(buffer, units, wideToUtf16(text));
            return true;
        }
        return SysfsHandle::indexedString(index, buffer, units);
    }
    bool setFeature(const uint8_t* report, std::size_t size) override
    {
        return hid_send_feature_report(device_, report, size) >= 0;
    }
    int read(uint8_t* buffer, std::size_t size, int timeoutMs, uint32_t& error) override
    {
        if (size == 0)
            return 0;
        // Without numbered reports hidraw hands out the data alone: the report ID is 0.
        const std::size_t skip = facts_.layout.numbered ? 0 : 1;
        if (skip)
            buffer[0] = 0;
        errno = 0;
        const int n = hid_read_timeout(device_, buffer + skip, size - skip, timeoutMs);
        if (n < 0) {
            // A poll that reports a hang-up leaves errno alone: the device is gone.
            error = errno != 0 ? static_cast<uint32_t>(errno) : ENODEV;
            return -1;
        }
        return n == 0 ? 0 : n + static_cast<int>(skip);
    }

private:
    hid_device* device_;
};

} // namespace

HidapiSystem::HidapiSystem()
{
    hidapiReady_ = hid_init() == 0;
    udev_ = udev_new();
    if (udev_) {
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (monitor_) {
            udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr);
            if (udev_monitor_enable_receiving(monitor_) != 0) {
                udev_monitor_unref(monitor_);
                monitor_ = nullptr;
            } else {
                const int fd = udev_monitor_get_fd(monitor_);
                fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
            }
        }
    }
}

HidapiSystem::~HidapiSystem()
{
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
    if (hidapiReady_)
        hid_exit();
}

bool HidapiSystem::available() const
{
    return hidapiReady_ && udev_ != nullptr;
}

std::vector<HidInterface> HidapiSystem::enumerate()
{
    std::vector<HidInterface> found;
    if (!udev_)
        return found;
    udev_enumerate* scan = udev_enumerate_new(udev_);
    udev_enumerate_add_match_subsystem(scan, "hidraw");
    udev_enumerate_scan_devices(scan);
    for (udev_list_entry* entry = udev_enumerate_get_list_entry(scan); entry;
         entry = udev_list_entry_get_next(entry)) {
        udev_device* node = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
        if (!node)
            continue;
        const char* devnode = udev_device_get_devnode(node);
        udev_device* hid = udev_device_get_parent_with_subsystem_devtype(node, "hid", nullptr);
        if (devnode) {
            // The HID device's sysfs path changes with every plug-in (its sequence
            // number grows), so it names one presence of one device.
            found.push_back({hid ? udev_device_get_syspath(hid) : udev_device_get_syspath(node), devnode});
        }
        udev_device_unref(node);
    }
    udev_enumerate_unref(scan);
    return found;
}

std::unique_ptr<HidHandle> HidapiSystem::open(const std::string& path, HidAccess access, uint32_t& error)
{
    NodeFacts facts;
    if (!readFacts(udev_, path, facts)) {
        error = ENODEV;
        return nullptr;
    }
    if (access == HidAccess::QueryOnly)
        return std::make_unique<SysfsHandle>(std::move(facts));
    // hidapi keeps the reason to itself: a trial open tells it.
    const int probe = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (probe < 0) {
        error = static_cast<uint32_t>(errno);
        return nullptr;
    }
    ::close(probe);
    hid_device* device = hid_open_path(path.c_str());
    if (!device) {
        error = EIO;
        return nullptr;
    }
    return std::make_unique<HidapiHandle>(device, std::move(facts));
}

std::string HidapiSystem::errorText(uint32_t error) const
{
    return std::strerror(static_cast<int>(error));
}

int HidapiSystem::notificationFd() const
{
    return monitor_ ? udev_monitor_get_fd(monitor_) : -1;
}

bool HidapiSystem::takeDeviceChanges()
{
    if (!monitor_)
        return false;
    bool changed = false;
    while (udev_device* event = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(event);
        if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0))
            changed = true;
        udev_device_unref(event);
    }
    return changed;
}

} // namespace valdrin
