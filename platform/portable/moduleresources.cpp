#include "platform/portable/moduleresources.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "platform/portable/unsupported.h"
#include "platform/win32api.h"

namespace {

struct ResourceEntry {
    WORD type;
    WORD id;
    const void* data;
    DWORD size;
};

struct ResourceSet {
    std::vector<ResourceEntry> entries;
    std::vector<std::vector<WORD>> stringBlocks;  // what the string entries point into
};

// Earlier sets are kept, not freed: a resource pointer stays valid for the life of the process on
// Windows, and a test that registers a new set must not leave a dangling one behind.
struct Registry {
    std::mutex mutex;
    std::vector<std::unique_ptr<ResourceSet>> sets;

    const ResourceSet* Current() const { return sets.empty() ? nullptr : sets.back().get(); }

    bool Holds(const ResourceEntry* entry) const {
        for (const auto& set : sets) {
            const auto& entries = set->entries;
            if (!entries.empty() && entry >= entries.data() &&
                entry < entries.data() + entries.size()) {
                return true;
            }
        }
        return false;
    }
};

// Reached from static constructors of other object files, so it must exist before its first use,
// whatever the order of initialisation.
Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

constexpr WORD kStringType = 6;  // RT_STRING
constexpr std::size_t kStringsPerBlock = 16;
constexpr WORD kMaxStringId = 0xFFFF;

// The executable's handle only needs to be non-null and unlike any other pointer.
char g_imageBase;

// Reads a string block's code unit without assuming alignment: a block may also come registered as
// raw data.
WORD UnitAt(const BYTE* block, std::size_t index) {
    WORD unit;
    std::memcpy(&unit, block + index * sizeof(WORD), sizeof(WORD));
    return unit;
}

HMODULE ExecutableHandle() {
    return reinterpret_cast<HMODULE>(&g_imageBase);
}

bool IsThisModule(HMODULE hModule) {
    return hModule == nullptr || hModule == ExecutableHandle();
}

// Lays the strings out as a resource compiler does: string id n goes to block n/16+1, slot n%16; a
// block is 16 counted UTF-16 strings, empty slots having a length of 0.
std::vector<std::vector<WORD>> BuildStringBlocks(const portable::StringResource* strings,
                                                 std::size_t stringCount,
                                                 std::vector<WORD>& blockIds) {
    std::map<WORD, std::array<std::vector<WORD>, kStringsPerBlock>> slots;
    std::set<UINT> seen;
    for (std::size_t i = 0; i < stringCount; ++i) {
        const portable::StringResource& string = strings[i];
        if (string.id > kMaxStringId || string.text == nullptr) {
            portable::Unsupported("a string resource with an id above 65535 or without text");
        }
        if (!seen.insert(string.id).second) {
            portable::Unsupported("a string table with the same id twice");
        }
        std::vector<WORD>& units = slots[static_cast<WORD>(string.id / kStringsPerBlock + 1)]
                                        [string.id % kStringsPerBlock];
        // ANSI text is taken as Latin-1, whose bytes are their own UTF-16 code units.
        for (const char* p = string.text; *p != '\0'; ++p) {
            units.push_back(static_cast<unsigned char>(*p));
        }
    }
    std::vector<std::vector<WORD>> blocks;
    for (const auto& [blockId, blockSlots] : slots) {
        std::vector<WORD> block;
        for (const std::vector<WORD>& units : blockSlots) {
            block.push_back(static_cast<WORD>(units.size()));
            block.insert(block.end(), units.begin(), units.end());
        }
        blockIds.push_back(blockId);
        blocks.push_back(std::move(block));
    }
    return blocks;
}

const ResourceEntry* FindEntry(const ResourceSet& set, WORD type, WORD id, bool& typeFound) {
    typeFound = false;
    for (const ResourceEntry& entry : set.entries) {
        if (entry.type == type) {
            typeFound = true;
            if (entry.id == id) {
                return &entry;
            }
        }
    }
    return nullptr;
}

// Checks a resource handle against the registry, so that a stale or made-up one fails instead of
// being followed.
const ResourceEntry* CheckedEntry(HMODULE hModule, HRSRC hResInfo) {
    const auto* entry = reinterpret_cast<const ResourceEntry*>(hResInfo);
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    if (entry == nullptr || !IsThisModule(hModule) || !registry.Holds(entry)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return entry;
}

}  // namespace

namespace portable {

void RegisterModuleResources(const RawResource* raw, std::size_t rawCount,
                             const StringResource* strings, std::size_t stringCount) {
    auto set = std::make_unique<ResourceSet>();
    for (std::size_t i = 0; i < rawCount; ++i) {
        if (raw[i].data == nullptr && raw[i].size != 0) {
            Unsupported("a resource with a size but no data");
        }
        set->entries.push_back({raw[i].type, raw[i].id, raw[i].data, raw[i].size});
    }
    std::vector<WORD> blockIds;
    set->stringBlocks = BuildStringBlocks(strings, stringCount, blockIds);
    for (std::size_t i = 0; i < blockIds.size(); ++i) {
        const std::vector<WORD>& block = set->stringBlocks[i];
        set->entries.push_back({kStringType, blockIds[i], block.data(),
                                static_cast<DWORD>(block.size() * sizeof(WORD))});
    }
    for (std::size_t i = 0; i < set->entries.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (set->entries[i].type == set->entries[j].type &&
                set->entries[i].id == set->entries[j].id) {
                Unsupported("two resources with the same type and id");
            }
        }
    }

    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.sets.push_back(std::move(set));
}

void ReplaceRawResource(WORD type, WORD id, const void* data, DWORD size) {
    if (data == nullptr && size != 0) {
        Unsupported("a resource with a size but no data");
    }
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    // A new set like the current one but for this resource. Earlier sets are never freed, so the
    // entries taken over, string blocks included, keep pointing at live data.
    auto set = std::make_unique<ResourceSet>();
    if (const ResourceSet* current = registry.Current()) {
        for (const ResourceEntry& entry : current->entries) {
            if (entry.type != type || entry.id != id) {
                set->entries.push_back(entry);
            }
        }
    }
    if (data != nullptr) {
        set->entries.push_back({type, id, data, size});
    }
    registry.sets.push_back(std::move(set));
}

HMODULE ExecutableModule() {
    return ExecutableHandle();
}

}  // namespace portable

HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
    if (!IS_INTRESOURCE(lpName) || !IS_INTRESOURCE(lpType)) {
        portable::Unsupported("FindResourceA with a resource name or type given as a string");
    }
    if (!IsThisModule(hModule)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const auto name = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(lpName));
    const auto type = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(lpType));

    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const ResourceSet* set = registry.Current();
    if (set == nullptr || set->entries.empty()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    bool typeFound = false;
    const ResourceEntry* entry = FindEntry(*set, type, name, typeFound);
    if (entry == nullptr) {
        SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
}

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo) {
    const ResourceEntry* entry = CheckedEntry(hModule, hResInfo);
    if (entry == nullptr) {
        return nullptr;
    }
    // As on Windows, the handle of loaded resource data is simply its address.
    static const BYTE kEmpty = 0;
    return const_cast<void*>(entry->data != nullptr ? entry->data : &kEmpty);
}

DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo) {
    const ResourceEntry* entry = CheckedEntry(hModule, hResInfo);
    return entry == nullptr ? 0 : entry->size;
}

LPVOID LockResource(HGLOBAL hResData) {
    return hResData;
}

int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    // Only the wide version can hand out a pointer into the resource itself; the ANSI version is
    // documented as not accepting a zero-sized buffer.
    if (cchBufferMax == 0) {
        portable::Unsupported("LoadStringA with cchBufferMax 0");
    }
    if (cchBufferMax < 0 || lpBuffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    lpBuffer[0] = '\0';

    const WORD id = static_cast<WORD>(uID);  // Windows uses the low word only
    HRSRC block = FindResourceA(hInstance, MAKEINTRESOURCE(id / kStringsPerBlock + 1), RT_STRING);
    if (block == nullptr) {
        return 0;  // FindResourceA has set the last error
    }
    const auto* units = static_cast<const BYTE*>(LockResource(LoadResource(hInstance, block)));
    const std::size_t count = SizeofResource(hInstance, block) / sizeof(WORD);

    // Skip the counted strings before ours; a block that ends early is damaged, not a crash.
    std::size_t pos = 0;
    for (std::size_t slot = 0; slot < id % kStringsPerBlock && pos < count; ++slot) {
        pos += 1 + std::size_t{UnitAt(units, pos)};
    }
    if (pos >= count || pos + 1 + UnitAt(units, pos) > count) {
        SetLastError(ERROR_INVALID_DATA);
        return 0;
    }
    const std::size_t length = UnitAt(units, pos);
    if (length == 0) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    const std::size_t copied = std::min(length, static_cast<std::size_t>(cchBufferMax) - 1);
    for (std::size_t i = 0; i < copied; ++i) {
        const WORD unit = UnitAt(units, pos + 1 + i);
        lpBuffer[i] = unit <= 0xFF ? static_cast<char>(unit) : '?';  // no Latin-1 form: the default
    }
    lpBuffer[copied] = '\0';
    return static_cast<int>(copied);
}
