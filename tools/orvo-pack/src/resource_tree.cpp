#include "resource_tree.h"

#include <algorithm>
#include <tuple>
#include <unordered_set>

#include "pack_error.h"

namespace orvo::pack {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint32_t kTableHeaderSize = 16;
constexpr std::uint32_t kEntrySize = 8;
constexpr std::uint32_t kDataEntrySize = 16;
// Keeps every table's entry counts within their 16-bit fields.
constexpr std::size_t kMaxLeaves = 60000;

std::uint64_t TableSize(std::size_t entries) { return kTableHeaderSize + std::uint64_t{kEntrySize} * entries; }

// Reads the three levels of the directory in time linear in the section's size: each
// table is read once (a table reached a second time, through a cycle or from two
// entries, is refused), the entries of all tables together fit the section, and the
// names and data the leaves carry are bounded by the section's size.
class DirectoryReader {
public:
    DirectoryReader(ByteSpan section, std::uint32_t sectionRva) : section_(section), sectionRva_(sectionRva) {}

    std::vector<ResourceLeaf> ReadAll() {
        for (const auto& [type, typeTable] : Entries(0, true)) {
            for (const auto& [name, nameTable] : Entries(typeTable, true)) {
                for (const auto& [language, dataEntry] : Entries(nameTable, false)) {
                    if (language.named) throw PackError("a resource language is a name, not a number");
                    AddLeaf(type, name, language.number, dataEntry);
                }
            }
        }
        return std::move(leaves_);
    }

private:
    // (id, offset of what the entry points to) for every entry of the table at `offset`;
    // `directories` says whether the entries must point to tables or to data entries.
    std::vector<std::pair<ResourceId, std::uint32_t>> Entries(std::uint32_t offset, bool directories) {
        if (!tablesSeen_.insert(offset).second) throw PackError("the resource directory reaches a table twice");
        const std::uint32_t count = ReadU16(section_, std::uint64_t{offset} + 12) + ReadU16(section_, std::uint64_t{offset} + 14);
        SubSpan(section_, offset, TableSize(count));
        entryTotal_ += count;
        if (entryTotal_ > section_.size() / kEntrySize)
            throw PackError("the resource directory has more entries than its section holds");
        std::vector<std::pair<ResourceId, std::uint32_t>> entries;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t at = offset + TableSize(i);
            const std::uint32_t target = ReadU32(section_, at + 4);
            if (((target & kHighBit) != 0) != directories) throw PackError("a resource directory level is of the wrong kind");
            entries.emplace_back(ReadId(ReadU32(section_, at)), target & ~kHighBit);
        }
        return entries;
    }

    ResourceId ReadId(std::uint32_t field) {
        if ((field & kHighBit) == 0) {
            if (field > 0xFFFF) throw PackError("a resource number is out of range");
            return ResourceId::Number(static_cast<std::uint16_t>(field));
        }
        const std::uint32_t at = field & ~kHighBit;
        const std::uint16_t length = ReadU16(section_, at);
        ByteSpan units = SubSpan(section_, std::uint64_t{at} + 2, std::uint64_t{length} * 2);
        ChargeNames(units.size());
        std::u16string name;
        for (std::size_t i = 0; i < units.size(); i += 2) name += static_cast<char16_t>(units[i] | (units[i + 1] << 8));
        return ResourceId::Name(std::move(name));
    }

    // Names may be shared, and each leaf carries a copy of its type's and its own: what
    // is read and copied of them stays within twice the section.
    void ChargeNames(std::uint64_t bytes) {
        nameTotal_ += bytes;
        if (nameTotal_ > 2 * std::uint64_t{section_.size()})
            throw PackError("the resource directory lists more than its section holds");
    }

    void AddLeaf(const ResourceId& type, const ResourceId& name, std::uint16_t language, std::uint32_t entry) {
        const std::uint32_t rva = ReadU32(section_, entry);
        const std::uint32_t size = ReadU32(section_, std::uint64_t{entry} + 4);
        if (rva < sectionRva_) throw PackError("resource data lies outside the resource section");
        ByteSpan data = SubSpan(section_, rva - sectionRva_, size);
        // Entries may share data; without these bounds a small directory could
        // multiply into a huge one.
        dataTotal_ += size;
        if (leaves_.size() == kMaxLeaves || dataTotal_ > section_.size())
            throw PackError("the resource directory lists more than its section holds");
        ChargeNames(2 * (std::uint64_t{type.name.size()} + name.name.size()));
        leaves_.push_back({type, name, language, ReadU32(section_, std::uint64_t{entry} + 8), Bytes(data.begin(), data.end())});
    }

    ByteSpan section_;
    std::uint32_t sectionRva_;
    std::vector<ResourceLeaf> leaves_;
    std::unordered_set<std::uint32_t> tablesSeen_;
    std::uint64_t entryTotal_ = 0;
    std::uint64_t nameTotal_ = 0;
    std::uint64_t dataTotal_ = 0;
};

// Where each part of the new directory goes: the tables first (root, then one per
// type, then one per name), the data entries, the name strings, and the data.
struct DirectoryPlan {
    struct Name {
        std::size_t firstLeaf = 0;
        std::size_t leafCount = 0;
        std::uint64_t table = 0;
        std::uint64_t string = 0;
    };
    struct Type {
        std::vector<Name> names;
        std::uint64_t table = 0;
        std::uint64_t string = 0;
    };
    std::vector<Type> types;
    std::vector<std::uint64_t> dataEntry;  // per leaf
    std::vector<std::uint64_t> data;       // per leaf
    std::uint64_t size = 0;
};

void GroupLeaves(const std::vector<ResourceLeaf>& leaves, DirectoryPlan& plan) {
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        if (i == 0 || leaves[i].type != leaves[i - 1].type) plan.types.emplace_back();
        auto& names = plan.types.back().names;
        if (names.empty() || leaves[i].name != leaves[i - 1].name) names.push_back({i, 0, 0, 0});
        ++names.back().leafCount;
    }
}

std::uint64_t StringSize(const ResourceId& id) { return id.named ? 2 + 2 * std::uint64_t{id.name.size()} : 0; }

void PlanTables(DirectoryPlan& plan, std::uint64_t& at) {
    at = TableSize(plan.types.size());
    for (auto& type : plan.types) {
        type.table = at;
        at += TableSize(type.names.size());
    }
    for (auto& type : plan.types) {
        for (auto& name : type.names) {
            name.table = at;
            at += TableSize(name.leafCount);
        }
    }
}

void PlanStrings(const std::vector<ResourceLeaf>& leaves, DirectoryPlan& plan, std::uint64_t& at) {
    for (auto& type : plan.types) {
        type.string = at;
        at += StringSize(leaves[type.names.front().firstLeaf].type);
        for (auto& name : type.names) {
            name.string = at;
            at += StringSize(leaves[name.firstLeaf].name);
        }
    }
}

DirectoryPlan PlanDirectory(const std::vector<ResourceLeaf>& leaves) {
    DirectoryPlan plan;
    GroupLeaves(leaves, plan);
    std::uint64_t at = 0;
    PlanTables(plan, at);
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        plan.dataEntry.push_back(at);
        at += kDataEntrySize;
    }
    PlanStrings(leaves, plan, at);
    for (const ResourceLeaf& leaf : leaves) {
        at = AlignUp(at, 8);
        plan.data.push_back(at);
        at += leaf.data.size();
    }
    plan.size = AlignUp(at, 8);
    return plan;
}

class DirectoryWriter {
public:
    DirectoryWriter(const std::vector<ResourceLeaf>& leaves, const DirectoryPlan& plan, std::uint32_t sectionRva)
        : leaves_(leaves), plan_(plan), sectionRva_(sectionRva), out_(plan.size, 0) {}

    Bytes Write() {
        WriteTable(0, plan_.types.size(), [&](std::size_t t) {
            const auto& type = plan_.types[t];
            return std::pair{IdField(leaves_[type.names.front().firstLeaf].type, type.string), type.table | kHighBit};
        });
        for (const auto& type : plan_.types) WriteNameTable(type);
        for (std::size_t i = 0; i < leaves_.size(); ++i) WriteLeaf(i);
        return std::move(out_);
    }

private:
    template <typename EntryOf>
    void WriteTable(std::uint64_t at, std::size_t count, EntryOf entryOf) {
        std::uint16_t named = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const auto [id, target] = entryOf(i);
            if (id & kHighBit) ++named;
            WriteU32(out_, at + TableSize(i), id);
            WriteU32(out_, at + TableSize(i) + 4, static_cast<std::uint32_t>(target));
        }
        WriteU16(out_, at + 12, named);
        WriteU16(out_, at + 14, static_cast<std::uint16_t>(count - named));
    }

    void WriteNameTable(const DirectoryPlan::Type& type) {
        WriteTable(type.table, type.names.size(), [&](std::size_t n) {
            const auto& name = type.names[n];
            return std::pair{IdField(leaves_[name.firstLeaf].name, name.string), name.table | kHighBit};
        });
        for (const auto& name : type.names) {
            WriteTable(name.table, name.leafCount, [&](std::size_t l) {
                const std::size_t leaf = name.firstLeaf + l;
                return std::pair{std::uint32_t{leaves_[leaf].language}, plan_.dataEntry[leaf]};
            });
        }
    }

    std::uint32_t IdField(const ResourceId& id, std::uint64_t stringAt) {
        if (!id.named) return id.number;
        WriteU16(out_, stringAt, static_cast<std::uint16_t>(id.name.size()));
        for (std::size_t i = 0; i < id.name.size(); ++i) WriteU16(out_, stringAt + 2 + 2 * i, id.name[i]);
        return static_cast<std::uint32_t>(stringAt) | kHighBit;
    }

    void WriteLeaf(std::size_t i) {
        const ResourceLeaf& leaf = leaves_[i];
        WriteU32(out_, plan_.dataEntry[i], static_cast<std::uint32_t>(sectionRva_ + plan_.data[i]));
        WriteU32(out_, plan_.dataEntry[i] + 4, static_cast<std::uint32_t>(leaf.data.size()));
        WriteU32(out_, plan_.dataEntry[i] + 8, leaf.codePage);
        std::copy(leaf.data.begin(), leaf.data.end(), out_.begin() + static_cast<std::ptrdiff_t>(plan_.data[i]));
    }

    const std::vector<ResourceLeaf>& leaves_;
    const DirectoryPlan& plan_;
    std::uint32_t sectionRva_;
    Bytes out_;
};

}  // namespace

std::strong_ordering ResourceId::operator<=>(const ResourceId& other) const {
    if (named != other.named) return named ? std::strong_ordering::less : std::strong_ordering::greater;
    if (named) return name <=> other.name;
    return number <=> other.number;
}

void SortResourceLeaves(std::vector<ResourceLeaf>& leaves) {
    const auto key = [](const ResourceLeaf& leaf) { return std::tie(leaf.type, leaf.name, leaf.language); };
    std::stable_sort(leaves.begin(), leaves.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
    const auto same = std::adjacent_find(leaves.begin(), leaves.end(), [&](const auto& a, const auto& b) { return key(a) == key(b); });
    if (same != leaves.end()) throw PackError("a resource is listed twice");
}

std::vector<ResourceLeaf> ParseResourceDirectory(ByteSpan section, std::uint32_t sectionRva) {
    std::vector<ResourceLeaf> leaves = DirectoryReader(section, sectionRva).ReadAll();
    SortResourceLeaves(leaves);
    return leaves;
}

Bytes BuildResourceDirectory(std::vector<ResourceLeaf> leaves, std::uint32_t sectionRva) {
    if (leaves.size() > kMaxLeaves) throw PackError("too many resources");
    SortResourceLeaves(leaves);
    const DirectoryPlan plan = PlanDirectory(leaves);
    if (plan.size > 0x7FFFFFFFu - sectionRva) throw PackError("the resources are too large for the image");
    return DirectoryWriter(leaves, plan, sectionRva).Write();
}

std::optional<std::uint16_t> RemoveResources(std::vector<ResourceLeaf>& leaves,
                                             const std::function<bool(const ResourceLeaf&)>& matches) {
    SortResourceLeaves(leaves);
    const auto first = std::find_if(leaves.begin(), leaves.end(), matches);
    if (first == leaves.end()) return std::nullopt;
    const std::uint16_t language = first->language;
    std::erase_if(leaves, matches);
    return language;
}

bool IsResource(const ResourceLeaf& leaf, std::uint16_t type, const std::optional<ResourceId>& name) {
    return !leaf.type.named && leaf.type.number == type && (!name || leaf.name == *name);
}

}  // namespace orvo::pack
