#include "test_codec_script.h"

#include <cstdio>
#include <cstring>

#include "test_process.h"

namespace {

const char kDrivers32Key[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";

HKEY OpenDrivers32()
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDrivers32Key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                        nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return nullptr;
    return key;
}

}

bool RegisterTestCodec(const char* fccText, const char* dllPath)
{
    HKEY key = OpenDrivers32();
    if (key == nullptr)
        return false;
    std::string value = std::string("vidc.") + fccText;
    std::string path = dllPath ? dllPath : BinPath(kTestCodecDllName);
    LONG result = RegSetValueExA(key, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                 static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool UnregisterTestCodec(const char* fccText)
{
    HKEY key = OpenDrivers32();
    if (key == nullptr)
        return false;
    std::string value = std::string("vidc.") + fccText;
    LONG result = RegDeleteValueA(key, value.c_str());
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

TestCodecScript::~TestCodecScript()
{
    if (control_ != nullptr)
        UnmapViewOfFile(control_);
    if (mapping_ != nullptr)
        CloseHandle(mapping_);
}

bool TestCodecScript::Create(uint32_t fcc)
{
    char name[64];
    std::snprintf(name, sizeof name, kTestCodecMappingFormat, static_cast<unsigned>(fcc));
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(TestCodecControl),
                                  name);
    if (mapping_ == nullptr)
        return false;
    control_ = static_cast<TestCodecControl*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (control_ == nullptr)
        return false;
    std::memset(control_, 0, sizeof *control_);
    control_->recording = 1;
    return true;
}

void TestCodecScript::Answer(uint32_t message, int32_t result)
{
    for (uint32_t i = 0; i < kTestCodecMaxAnswers; ++i) {
        if (control_->answers[i].message == 0 || control_->answers[i].message == message) {
            control_->answers[i].message = message;
            control_->answers[i].result = result;
            return;
        }
    }
}

void TestCodecScript::ClearCalls()
{
    control_->callCount = 0;
}

std::vector<TestCodecCall> TestCodecScript::Calls() const
{
    uint32_t count = control_->callCount < kTestCodecMaxCalls ? control_->callCount : kTestCodecMaxCalls;
    return std::vector<TestCodecCall>(control_->calls, control_->calls + count);
}

std::vector<TestCodecCall> TestCodecScript::CallsOf(uint32_t message) const
{
    std::vector<TestCodecCall> calls;
    for (const TestCodecCall& call : Calls()) {
        if (call.message == message)
            calls.push_back(call);
    }
    return calls;
}

void SetScriptText(uint16_t* field, size_t capacity, const char* text)
{
    size_t i = 0;
    for (; i + 1 < capacity && text[i] != '\0'; ++i)
        field[i] = static_cast<unsigned char>(text[i]);
    field[i] = 0;
}
