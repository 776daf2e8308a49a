#include "test_codec_script.h"

#include <cstdio>
#include <cstring>

#include "decode_only_codec.h"
#include "drivers32_values.h"
#include "test_process.h"

bool RegisterTestCodec(const char* fccText, const char* dllPath)
{
    return SetDrivers32Value(HKEY_LOCAL_MACHINE, std::string("vidc.") + fccText,
                             dllPath ? dllPath : BinPath(kTestCodecDllName));
}

bool RegisterDecodeOnlyCodec(const char* fccText)
{
    return RegisterTestCodec(fccText, BinPath(kDecodeOnlyCodecDllName).c_str());
}

bool UnregisterTestCodec(const char* fccText)
{
    return DeleteDrivers32Value(HKEY_LOCAL_MACHINE, std::string("vidc.") + fccText);
}

std::string UniqueFccText(char first)
{
    DWORD id = GetCurrentProcessId();
    std::string text(1, first);
    for (int i = 0; i < 3; ++i, id /= 26)
        text += static_cast<char>('a' + id % 26);
    return text;
}

bool TestCodecScript::Create(uint32_t fcc)
{
    char name[64];
    std::snprintf(name, sizeof name, kTestCodecMappingFormat, static_cast<unsigned>(fcc));
    if (!mapping_.Create(name, sizeof(TestCodecControl), false))
        return false;
    control_ = reinterpret_cast<TestCodecControl*>(mapping_.View());
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

std::vector<TestCodecCall> TestCodecScript::CallsOf(uint32_t message) const
{
    std::vector<TestCodecCall> calls;
    uint32_t count = control_->callCount < kTestCodecMaxCalls ? control_->callCount : kTestCodecMaxCalls;
    for (uint32_t i = 0; i < count; ++i) {
        if (control_->calls[i].message == message)
            calls.push_back(control_->calls[i]);
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
