#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace slidevane::test {

// Registry files made to hurt the store: link targets that are long, many-parted, chained or
// looping, a catalogue path of tens of thousands of components, one enormous line, names chosen
// to collide in the store's name index, keys and values packed as densely as each format
// allows, and tens of thousands of small keys and values, as a Wine prefix's hive holds them. The
// store's tests and its benchmark generate them at run time (nothing big is committed); every
// one is paired with the catalogue file below, whose answers must come through unharmed.
//
// Owns: the shapes of the files. Does not own: where they are written or what is measured.
class HostileRegistryFiles {
public:
    // The catalogue key the files aim at and the answer the catalogue file gives there.
    static constexpr const char* kAppKey = "Software\\Norvale Inc.\\Slidevane3\\1.0";
    static constexpr const char* kPresentPath = "C:\\Program Files\\Norvale\\Slidevane3\\";
    static std::string catalogue();

    // A hive whose Software key links back to Software and then n levels below it: a target
    // of about targetUnits characters, grown again by every hop a walk takes through it.
    static std::string longLinkTarget(std::size_t targetUnits);
    // The same with a target of `parts` components below Software.
    static std::string manyPartLinkTarget(std::size_t parts);
    // Software\Chain\Hop0 links to Hop1 and so on, `hops` links in all, each target `depth`
    // components deep; the last leads to Software\Chain\...\End, whose "Reached" is "yes".
    static std::string chainedLinks(int hops, int depth);
    // Software\Loop\Self links to itself; Software\Loop\A and \B link to each other.
    static std::string linkLoops();
    // A registry editor file whose PresentPath is "/x" `components` times.
    static std::string longPresentPath(std::size_t components);
    // One file of about `bytes` bytes that is mostly one line: the value of PresentPath, in a
    // registry editor file (UTF-8) or in a hive.
    static std::string longValueLine(std::size_t bytes, bool hive);
    // The same length as a comment line, which leaves nothing behind.
    static std::string longCommentLine(std::size_t bytes, bool hive);

    // How a file of many keys is written: a Wine hive, a "Windows Registry Editor Version 5.00"
    // file in UTF-8 or UTF-16LE, or a REGEDIT4 file (8-bit text).
    enum class Format { Hive, RegUtf8, RegUtf16, Regedit4 };
    static constexpr Format kFormats[] = {Format::Hive, Format::RegUtf8, Format::RegUtf16,
                                          Format::Regedit4};
    static const char* formatName(Format format);

    // The name hash the store's index used before it was keyed: FNV-1a over the case-folded
    // units, salted with the owner, the same in every process, so anyone can choose names that
    // collide under it.
    static std::uint32_t unkeyedHash(std::uint32_t owner, std::u16string_view name);
    // `count` distinct names below one owner whose unkeyed hashes all fall in the first
    // sixteenth of a table of tableSlots slots (a power of two): one long cluster in an
    // open-addressing table that probes by that hash.
    static std::vector<std::u16string> clusteringNames(std::uint32_t owner, std::size_t count,
                                                       std::size_t tableSlots);
    // `count` names of keys below HKEY_CURRENT_USER clustering as above in the table the index
    // grew to for that many keys, and a registry editor file of a key line [HKCU\<name>] each.
    static std::vector<std::string> hashFloodNames(std::size_t count);
    static std::string hashFlood(const std::vector<std::string>& names);

    // Files of about `bytes` bytes that pack keys or values as densely as a plausible name
    // allows: Deep, lines of a unique key followed by `kDeepComponents` one-letter keys, each
    // new key costing two bytes of text (three in a hive, four in UTF-16); Wide, one key with a
    // subkey a line; Flat, one key with a short value a line.
    enum class Shape { Deep, Wide, Flat };
    static constexpr std::size_t kDeepComponents = 500;
    static const char* shapeName(Shape shape);
    static std::string dense(Shape shape, std::size_t bytes, Format format);
    // The key each file is below, under HKEY_CURRENT_USER in a registry editor file and
    // HKEY_LOCAL_MACHINE in a hive, and the key and value of its i-th line.
    static std::string denseKey(Shape shape, std::size_t i);
    static std::string denseValueName(std::size_t i); // Flat: its data is the same text
    // Keys shaped like a real prefix's: vendors, products, versions and component keys with
    // five values each (two paths and names, a number, 32 bytes, a text beyond Latin-1), about
    // 415 bytes of hive a component. Component i is at componentKey(i).
    static std::string manyKeys(int components, Format format);
    static std::string componentKey(int i);
    // Its "DisplayName".
    static std::string componentName(int i);
};

} // namespace slidevane::test
