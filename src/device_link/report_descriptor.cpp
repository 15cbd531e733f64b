#include "device_link/report_descriptor.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace rerov {
namespace {

// Item types and tags of the short-item grammar.
enum ItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };
enum MainTag : uint8_t {
    kInput = 0x8,
    kOutput = 0x9,
    kCollection = 0xA,
    kFeature = 0xB,
    kEndCollection = 0xC
};
enum GlobalTag : uint8_t {
    kUsagePage = 0x0,
    kLogicalMin = 0x1,
    kLogicalMax = 0x2,
    kPhysicalMin = 0x3,
    kPhysicalMax = 0x4,
    kReportSize = 0x7,
    kReportId = 0x8,
    kReportCount = 0x9,
    kPush = 0xA,
    kPop = 0xB
};
enum LocalTag : uint8_t { kUsage = 0x0, kUsageMin = 0x1, kUsageMax = 0x2 };

constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr uint32_t kFlagConstant = 0x01;
constexpr uint32_t kFlagVariable = 0x02;
constexpr uint32_t kFlagRelative = 0x04;
constexpr size_t kMaxGlobalStack = 64;
// Report byte lengths are 16-bit and include the report id byte.
constexpr uint64_t kMaxReportBits = (0xFFFFull - 1) * 8;

struct Item {
    uint8_t type = 0;
    uint8_t tag = 0;
    uint8_t size = 0;  // data bytes: 0, 1, 2 or 4
    uint32_t data = 0;

    int32_t Signed() const {
        switch (size) {
            case 1:
                return static_cast<int8_t>(data);
            case 2:
                return static_cast<int16_t>(data);
            case 4:
                return static_cast<int32_t>(data);
            default:
                return 0;
        }
    }
};

// A signed extent whose maximum may have been written as an unsigned byte (0xFF for 255),
// a common slip that other HID parsers accept: read it unsigned when that is the only way
// for the range to be non-empty.
struct Extent {
    int32_t min = 0;
    Item maxItem;

    int32_t Max() const {
        int32_t max = maxItem.Signed();
        if (max < min && min >= 0 && maxItem.size < 4) return static_cast<int32_t>(maxItem.data);
        return max;
    }
};

struct GlobalState {
    uint16_t usagePage = 0;
    Extent logical;
    Extent physical;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

struct UsageRef {
    bool extended = false;  // page given in the item's upper 16 bits
    uint16_t page = 0;
    uint16_t usage = 0;
};

struct UsageEntry {
    UsageRef first;
    uint16_t last = 0;
    bool isRange = false;
};

struct LocalState {
    std::vector<UsageEntry> usages;
    std::optional<UsageRef> pendingMin;
    std::optional<UsageRef> pendingMax;
};

struct ReportKey {
    uint8_t id;
    uint8_t type;
    bool operator<(const ReportKey& o) const {
        return std::pair(id, type) < std::pair(o.id, o.type);
    }
};

struct ReportBits {
    uint64_t bits = 0;
    size_t collection = 0;  // index into the collection list
};

class Parser {
  public:
    Parser(const uint8_t* data, size_t length) : data_(data), length_(length) {}

    bool Run(ParsedReportDescriptor* out, std::string* error) {
        if (!data_ || length_ == 0) return Fail("empty report descriptor", error);
        size_t pos = 0;
        while (pos < length_) {
            Item item;
            size_t next = 0;
            if (!ReadItem(pos, &item, &next)) {
                return Fail("truncated item at offset " + std::to_string(pos), error);
            }
            if (next == 0) {  // a long item: carries nothing we use
                pos = SkipLongItem(pos);
                if (pos == 0) return Fail("truncated long item", error);
                continue;
            }
            if (!Apply(item)) return Fail(problem_ + " at offset " + std::to_string(pos), error);
            pos = next;
        }
        if (depth_ != 0) return Fail("collection not closed at the end", error);
        if (result_.collections.empty()) return Fail("no top-level collection", error);
        Finish();
        *out = std::move(result_);
        return true;
    }

  private:
    bool Fail(const std::string& reason, std::string* error) {
        if (error) *error = "report descriptor: " + reason;
        return false;
    }

    // Decodes the short item at pos; *next is 0 for a long item.
    bool ReadItem(size_t pos, Item* item, size_t* next) const {
        const uint8_t prefix = data_[pos];
        if (prefix == kLongItemPrefix) {
            *next = 0;
            return true;
        }
        static constexpr uint8_t kSizes[4] = {0, 1, 2, 4};
        item->size = kSizes[prefix & 0x3];
        item->type = (prefix >> 2) & 0x3;
        item->tag = prefix >> 4;
        if (length_ - pos - 1 < item->size) return false;
        item->data = 0;
        for (uint8_t i = 0; i < item->size; ++i) {
            item->data |= static_cast<uint32_t>(data_[pos + 1 + i]) << (8 * i);
        }
        *next = pos + 1 + item->size;
        return true;
    }

    // Returns the position after the long item at pos, 0 when it is truncated.
    size_t SkipLongItem(size_t pos) const {
        if (length_ - pos < 3) return 0;
        const size_t dataSize = data_[pos + 1];
        if (length_ - pos - 3 < dataSize) return 0;
        return pos + 3 + dataSize;
    }

    bool Problem(std::string text) {
        problem_ = std::move(text);
        return false;
    }

    bool Apply(const Item& item) {
        switch (item.type) {
            case kMain:
                return ApplyMain(item);
            case kGlobal:
                return ApplyGlobal(item);
            case kLocal:
                return ApplyLocal(item);
            default:
                return Problem("reserved item type");
        }
    }

    bool ApplyGlobal(const Item& item) {
        switch (item.tag) {
            case kUsagePage:
                if (item.data > 0xFFFF) return Problem("usage page above 0xFFFF");
                global_.usagePage = static_cast<uint16_t>(item.data);
                return true;
            case kLogicalMin:
                global_.logical.min = item.Signed();
                return true;
            case kLogicalMax:
                global_.logical.maxItem = item;
                return true;
            case kPhysicalMin:
                global_.physical.min = item.Signed();
                return true;
            case kPhysicalMax:
                global_.physical.maxItem = item;
                return true;
            case kReportSize:
                if (item.data > 0xFFFF) return Problem("report size too large");
                global_.reportSize = item.data;
                return true;
            case kReportCount:
                if (item.data > 0xFFFF) return Problem("report count too large");
                global_.reportCount = item.data;
                return true;
            case kReportId:
                if (item.data == 0 || item.data > 0xFF) return Problem("report id out of 1..255");
                if (sawUnnumberedItem_) return Problem("report id after unnumbered reports");
                global_.reportId = static_cast<uint8_t>(item.data);
                result_.usesReportIds = true;
                return true;
            case kPush:
                if (stack_.size() >= kMaxGlobalStack) return Problem("push nested too deep");
                stack_.push_back(global_);
                return true;
            case kPop:
                if (stack_.empty()) return Problem("pop without push");
                global_ = stack_.back();
                stack_.pop_back();
                return true;
            default:
                return true;  // units and reserved tags do not affect the layout
        }
    }

    static UsageRef MakeUsage(const Item& item) {
        UsageRef ref;
        if (item.size == 4) {
            ref.extended = true;
            ref.page = static_cast<uint16_t>(item.data >> 16);
        }
        ref.usage = static_cast<uint16_t>(item.data & 0xFFFF);
        return ref;
    }

    bool ApplyLocal(const Item& item) {
        switch (item.tag) {
            case kUsage:
                local_.usages.push_back({MakeUsage(item), MakeUsage(item).usage, false});
                return true;
            case kUsageMin:
                local_.pendingMin = MakeUsage(item);
                return ClosePendingRange();
            case kUsageMax:
                local_.pendingMax = MakeUsage(item);
                return ClosePendingRange();
            default:
                return true;  // designators, strings and delimiters are not needed
        }
    }

    bool ClosePendingRange() {
        if (!local_.pendingMin || !local_.pendingMax) return true;
        if (local_.pendingMin->usage > local_.pendingMax->usage) {
            return Problem("usage minimum above usage maximum");
        }
        local_.usages.push_back({*local_.pendingMin, local_.pendingMax->usage, true});
        local_.pendingMin.reset();
        local_.pendingMax.reset();
        return true;
    }

    // The usages of the coming main item, pages resolved; a lone minimum or maximum
    // counts as a single usage.
    std::vector<UsageEntry> TakeUsages() {
        for (const auto& lone : {local_.pendingMin, local_.pendingMax}) {
            if (lone) local_.usages.push_back({*lone, lone->usage, false});
        }
        std::vector<UsageEntry> usages = std::move(local_.usages);
        for (UsageEntry& u : usages) {
            if (!u.first.extended) u.first.page = global_.usagePage;
        }
        local_ = LocalState{};
        return usages;
    }

    bool ApplyMain(const Item& item) {
        switch (item.tag) {
            case kCollection:
                return OpenCollection();
            case kEndCollection:
                if (depth_ == 0) return Problem("end collection without collection");
                --depth_;
                local_ = LocalState{};
                return true;
            case kInput:
                return AddField(HidReportType::Input, item.data);
            case kOutput:
                return AddField(HidReportType::Output, item.data);
            case kFeature:
                return AddField(HidReportType::Feature, item.data);
            default:
                // Some firmware pads its descriptor with zero bytes after the last collection.
                if (item.tag == 0 && item.size == 0 && depth_ == 0) return true;
                return Problem("unknown main item");
        }
    }

    bool OpenCollection() {
        std::vector<UsageEntry> usages = TakeUsages();
        if (depth_ == 0) {
            HidTopLevelCollection top;
            top.number = static_cast<uint16_t>(result_.collections.size() + 1);
            if (!usages.empty()) {
                top.usagePage = usages.front().first.page;
                top.usage = usages.front().first.usage;
            }
            if (result_.collections.size() >= 0xFFFF) return Problem("too many collections");
            result_.collections.push_back(std::move(top));
        }
        ++depth_;
        return true;
    }

    bool AddField(HidReportType type, uint32_t flags) {
        std::vector<UsageEntry> usages = TakeUsages();
        if (depth_ == 0) return Problem("main item outside any collection");
        if (!result_.usesReportIds) sawUnnumberedItem_ = true;
        if (result_.usesReportIds && global_.reportId == 0) {
            return Problem("unnumbered report in a descriptor with report ids");
        }
        const size_t collection = result_.collections.size() - 1;
        const ReportKey key{global_.reportId, static_cast<uint8_t>(type)};
        auto [it, inserted] = reports_.try_emplace(key, ReportBits{0, collection});
        if (!inserted && it->second.collection != collection) {
            return Problem("report id " + std::to_string(key.id) +
                           " used by two top-level collections");
        }
        const uint64_t fieldBits = uint64_t{global_.reportSize} * global_.reportCount;
        const uint64_t offset = it->second.bits;
        if (offset + fieldBits > kMaxReportBits) return Problem("report too long");
        it->second.bits = offset + fieldBits;

        if ((flags & kFlagConstant) || fieldBits == 0) return true;  // padding
        HidCapability cap;
        cap.reportId = global_.reportId;
        cap.bitOffset = static_cast<uint32_t>(8 + offset);
        cap.bitSize = static_cast<uint16_t>(global_.reportSize);
        cap.reportCount = static_cast<uint16_t>(global_.reportCount);
        cap.isAbsolute = !(flags & kFlagRelative);
        cap.logicalMin = global_.logical.min;
        cap.logicalMax = global_.logical.Max();
        cap.physicalMin = global_.physical.min;
        cap.physicalMax = global_.physical.Max();
        if (cap.physicalMin == 0 && cap.physicalMax == 0) {
            cap.physicalMin = cap.logicalMin;
            cap.physicalMax = cap.logicalMax;
        }
        if (usages.empty()) usages.push_back({UsageRef{false, global_.usagePage, 0}, 0, false});

        HidReportTypeInfo& info =
            result_.collections[collection].reports[static_cast<size_t>(type)];
        if (!(flags & kFlagVariable)) {
            AddArrayCaps(cap, usages, &info.buttonCaps);
        } else {
            AddVariableCaps(cap, usages, cap.bitSize == 1 ? &info.buttonCaps : &info.valueCaps);
        }
        return true;
    }

    // An array item: every field holds an index into the item's usage list.
    static void AddArrayCaps(HidCapability cap, const std::vector<UsageEntry>& usages,
                             std::vector<HidCapability>* caps) {
        cap.isButton = true;
        cap.isArray = true;
        uint32_t base = 0;
        for (const UsageEntry& u : usages) {
            cap.usagePage = u.first.page;
            cap.isRange = u.isRange;
            cap.usageMin = u.first.usage;
            cap.usageMax = u.last;
            cap.arrayIndexBase = base;
            base += uint32_t{u.last} - u.first.usage + 1;
            caps->push_back(cap);
        }
    }

    // A variable item: fields take the usages in order; fields beyond the list repeat
    // the last usage.
    static void AddVariableCaps(HidCapability cap, const std::vector<UsageEntry>& usages,
                                std::vector<HidCapability>* caps) {
        cap.isButton = cap.bitSize == 1;
        const uint32_t fieldCount = cap.reportCount;
        const uint32_t firstBit = cap.bitOffset;
        uint32_t field = 0;
        for (size_t i = 0; i < usages.size() && field < fieldCount; ++i) {
            const UsageEntry& u = usages[i];
            const uint32_t span = uint32_t{u.last} - u.first.usage + 1;
            const bool lastEntry = i + 1 == usages.size();
            const uint32_t fields =
                lastEntry ? fieldCount - field : std::min(span, fieldCount - field);
            cap.usagePage = u.first.page;
            cap.isRange = u.isRange;
            cap.usageMin = u.first.usage;
            cap.usageMax = static_cast<uint16_t>(u.first.usage + std::min(span, fields) - 1);
            cap.bitOffset = firstBit + field * cap.bitSize;
            cap.reportCount = static_cast<uint16_t>(fields);
            caps->push_back(cap);
            field += fields;
        }
    }

    // Report ids and byte lengths per collection and type.
    void Finish() {
        for (const auto& [key, report] : reports_) {
            HidReportTypeInfo& info = result_.collections[report.collection].reports[key.type];
            info.reportIds.push_back(key.id);  // map order keeps the ids ascending
            const uint64_t bytes = (report.bits + 7) / 8 + 1;
            info.reportByteLength = std::max(info.reportByteLength, static_cast<uint16_t>(bytes));
        }
    }

    const uint8_t* data_;
    size_t length_;
    ParsedReportDescriptor result_;
    GlobalState global_;
    std::vector<GlobalState> stack_;
    LocalState local_;
    size_t depth_ = 0;
    bool sawUnnumberedItem_ = false;
    std::map<ReportKey, ReportBits> reports_;
    std::string problem_;
};

}  // namespace

bool ParseReportDescriptor(const uint8_t* data, size_t length, ParsedReportDescriptor* out,
                           std::string* error) {
    *out = ParsedReportDescriptor{};
    return Parser(data, length).Run(out, error);
}

bool ExtractReportBits(const uint8_t* report, size_t length, uint32_t bitOffset, uint16_t bitSize,
                       uint32_t* value) {
    if (uint64_t{bitOffset} + bitSize > uint64_t{length} * 8) return false;
    const uint32_t kept = std::min<uint32_t>(bitSize, 32);
    uint32_t v = 0;
    for (uint32_t i = 0; i < kept; ++i) {
        const uint32_t bit = bitOffset + i;
        v |= static_cast<uint32_t>((report[bit / 8] >> (bit % 8)) & 1u) << i;
    }
    *value = v;
    return true;
}

}  // namespace rerov
