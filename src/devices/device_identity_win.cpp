#include "devices/device_identity_win.h"

#include <cfgmgr32.h>
#include <objbase.h>
#include <setupapi.h>

#include <vector>

namespace {

// GUID_DEVINTERFACE_USB_HUB, spelled out so that no driver-kit header is needed.
constexpr GUID kUsbHubInterface = {
    0xf18a0e88, 0xc30c, 0x11d0, {0x88, 0x15, 0x00, 0xa0, 0xc9, 0x06, 0xbe, 0xd8}};

class WinDeviceInfoSet final : public DeviceInfoSet {
public:
    WinDeviceInfoSet(HDEVINFO set, DWORD& lastError) : set_(set), lastError_(lastError) {}
    ~WinDeviceInfoSet() override { SetupDiDestroyDeviceInfoList(set_); }
    WinDeviceInfoSet(const WinDeviceInfoSet&) = delete;
    WinDeviceInfoSet& operator=(const WinDeviceInfoSet&) = delete;

    bool Open(const std::wstring& instanceId, DeviceNode& node) override {
        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof(data);
        if (!SetupDiOpenDeviceInfoW(set_, instanceId.c_str(), nullptr, 0, &data)) {
            lastError_ = GetLastError();
            return false;
        }
        records_.push_back(data);
        node.devInst = data.DevInst;
        node.record = records_.size() - 1;
        return true;
    }

    RawProperty ReadProperty(const DeviceNode& node, std::uint32_t property) override {
        RawProperty result;
        if (node.record >= records_.size()) {
            return result;
        }
        SP_DEVINFO_DATA& record = records_[node.record];
        DWORD kind = 0;
        DWORD size = 0;
        if (SetupDiGetDeviceRegistryPropertyW(set_, &record, property, &kind, nullptr, 0, &size)) {
            result.status = RawProperty::Status::NoData;
            result.kind = kind;
            return result;
        }
        if (size == 0) {
            return result;
        }
        result.data.resize(size);
        if (!SetupDiGetDeviceRegistryPropertyW(set_, &record, property, &kind, result.data.data(),
                                               size, &size)) {
            result.status = RawProperty::Status::ReadError;
            result.error = GetLastError();
            result.data.clear();
            return result;
        }
        result.data.resize(size);
        result.status = RawProperty::Status::Ok;
        result.kind = kind;
        return result;
    }

    bool EnumHubInterface(std::uint32_t index, HubInterface& hub) override {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof(interfaceData);
        if (!SetupDiEnumDeviceInterfaces(set_, nullptr, &kUsbHubInterface, index, &interfaceData)) {
            lastError_ = GetLastError();
            return false;
        }
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(set_, &interfaceData, nullptr, 0, &size, nullptr);
        hub.detailSize = size;
        if (size == 0 || size > 1024 || size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
            return true;
        }
        // DWORD-aligned storage for the variable-length detail structure.
        std::vector<DWORD> storage((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        SP_DEVINFO_DATA record{};
        record.cbSize = sizeof(record);
        if (SetupDiGetDeviceInterfaceDetailW(set_, &interfaceData, detail, size, nullptr,
                                             &record)) {
            hub.detailRead = true;
            hub.devInst = record.DevInst;
            const std::size_t maxChars =
                (size - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(WCHAR);
            std::size_t length = 0;
            while (length < maxChars && detail->DevicePath[length] != L'\0') {
                ++length;
            }
            hub.devicePath.assign(detail->DevicePath, length);
        }
        return true;
    }

    bool ClassNameFromGuid(const std::wstring& guidText, std::wstring& name) override {
        CLSID guid{};
        if (FAILED(CLSIDFromString(guidText.c_str(), &guid))) {
            return false;
        }
        WCHAR buffer[33] = {};
        if (!SetupDiClassNameFromGuidW(&guid, buffer, 32, nullptr)) {
            return false;
        }
        buffer[32] = L'\0';
        name = buffer;
        return true;
    }

private:
    HDEVINFO set_;
    DWORD& lastError_;
    std::vector<SP_DEVINFO_DATA> records_;
};

class WinDeviceServices final : public DeviceServices {
public:
    explicit WinDeviceServices(HANDLE device) : device_(device) {}

    NameRead ReadDeviceName(std::wstring& buffer, std::uint32_t& indicatedLength) override {
        UINT length = 0;
        if (GetRawInputDeviceInfoW(device_, RIDI_DEVICENAME, nullptr, &length) != 0) {
            lastError_ = GetLastError();
            return NameRead::LengthFailed;
        }
        indicatedLength = length;
        buffer.assign(static_cast<std::size_t>(length) + 1, L'\0');
        UINT capacity = length;
        if (GetRawInputDeviceInfoW(device_, RIDI_DEVICENAME, buffer.data(), &capacity) ==
            static_cast<UINT>(-1)) {
            lastError_ = GetLastError();
            return NameRead::DataFailed;
        }
        return NameRead::Ok;
    }

    std::unique_ptr<DeviceInfoSet> CreateEmptySet() override {
        return Wrap(SetupDiCreateDeviceInfoList(nullptr, nullptr));
    }

    std::unique_ptr<DeviceInfoSet> CreateHubInterfaceSet() override {
        return Wrap(SetupDiGetClassDevsW(&kUsbHubInterface, nullptr, nullptr,
                                         DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    }

    bool NodeStatusOk(DevInst node) override {
        ULONG status = 0;
        ULONG problem = 0;
        return CM_Get_DevNode_Status(&status, &problem, node, 0) == CR_SUCCESS;
    }

    bool GetParent(DevInst node, DevInst& parent) override {
        DEVINST found = 0;
        if (CM_Get_Parent(&found, node, 0) != CR_SUCCESS) {
            return false;
        }
        parent = found;
        return true;
    }

    bool GetDeviceId(DevInst node, std::wstring& instanceId) override {
        ULONG length = 0;
        if (CM_Get_Device_ID_Size(&length, node, 0) != CR_SUCCESS) {
            return false;
        }
        std::vector<WCHAR> buffer(static_cast<std::size_t>(length) + 1, L'\0');
        if (CM_Get_Device_IDW(node, buffer.data(), static_cast<ULONG>(buffer.size()), 0) !=
            CR_SUCCESS) {
            return false;
        }
        buffer.back() = L'\0';
        instanceId = buffer.data();
        return true;
    }

    bool QueryHubSpeed(const std::wstring& hubPath, std::uint32_t port,
                       std::uint32_t& speed) override {
        HANDLE hub = CreateFileW(hubPath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        if (hub == INVALID_HANDLE_VALUE) {
            lastError_ = GetLastError();
            return false;
        }
        auto query = BuildHubQuery(port);
        DWORD returned = 0;
        const BOOL ok = DeviceIoControl(hub, kIoctlUsbGetNodeConnectionInformationEx, query.data(),
                                        static_cast<DWORD>(query.size()), query.data(),
                                        static_cast<DWORD>(query.size()), &returned, nullptr);
        if (!ok) {
            lastError_ = GetLastError();
        }
        CloseHandle(hub);
        return ok && returned > 0 && ParseHubSpeed(query.data(), returned, speed);
    }

    std::uint32_t LastError() override { return lastError_; }

private:
    std::unique_ptr<DeviceInfoSet> Wrap(HDEVINFO set) {
        if (set == INVALID_HANDLE_VALUE) {
            lastError_ = GetLastError();
            return nullptr;
        }
        return std::make_unique<WinDeviceInfoSet>(set, lastError_);
    }

    HANDLE device_;
    DWORD lastError_ = 0;
};

} // namespace

IdentificationResult IdentifyRawInputDevice(HANDLE device, const TextLookup& texts) {
    WinDeviceServices services(device);
    return IdentifyDevice(services, texts);
}

void ShowIdentification(const IdentificationResult& result, HWND interfaceField,
                        HWND detailsField) {
    if (result.detected) {
        SetWindowTextW(interfaceField, result.interfaceText.c_str());
    }
    SetWindowTextW(detailsField, result.details.c_str());
}
