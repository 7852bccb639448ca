// End-to-end helper: changes one value of HKLM\SOFTWARE\Norvane\Zav for the length of a scope
// (a new text, or no value at all) and puts the earlier state back afterwards.
#ifndef ZAV_TESTS_E2E_SUPPORT_PRODUCT_VALUE_H
#define ZAV_TESTS_E2E_SUPPORT_PRODUCT_VALUE_H

#include <windows.h>

#include <string>

namespace e2e {

class ProductValueOverride {
public:
    // value null: the value is removed for the scope.
    ProductValueOverride(const char *name, const char *value) : name_(name)
    {
        hadValue_ = Read(old_);
        if (value)
            Write(value);
        else
            Remove();
    }
    ~ProductValueOverride()
    {
        if (hadValue_)
            Write(old_);
        else
            Remove();
    }
    ProductValueOverride(const ProductValueOverride &) = delete;
    ProductValueOverride &operator=(const ProductValueOverride &) = delete;

private:
    static HKEY Open(REGSAM access)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane\\Zav", 0, nullptr, 0, access, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return nullptr;
        return key;
    }
    bool Read(std::string &out)
    {
        HKEY key = Open(KEY_QUERY_VALUE);
        if (!key)
            return false;
        char buf[1024] = {};
        DWORD size = sizeof(buf) - 1;
        bool ok = RegQueryValueExA(key, name_, nullptr, nullptr, reinterpret_cast<BYTE *>(buf), &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        out = buf;
        return ok;
    }
    void Write(const std::string &value)
    {
        HKEY key = Open(KEY_SET_VALUE);
        if (!key)
            return;
        RegSetValueExA(key, name_, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }
    void Remove()
    {
        HKEY key = Open(KEY_SET_VALUE);
        if (!key)
            return;
        RegDeleteValueA(key, name_);
        RegCloseKey(key);
    }

    const char *name_;
    std::string old_;
    bool hadValue_ = false;
};

} // namespace e2e

#endif
