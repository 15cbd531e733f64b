# Which of the packages the build uses does the package list not pull in?
#
# Usage: awk -f deps-closure.awk STATUS LIST NEEDS
#   STATUS  one installed-package record a line, tab-separated:
#           Package, db:Status-Abbrev, Essential, Pre-Depends, Depends, Provides
#           (dpkg-query -W -f='${Package}\t${db:Status-Abbrev}\t${Essential}\t...')
#   LIST    the package list: one name a line, '#' starts a comment
#   NEEDS   one need a line: "OWNERS<TAB>REASON", OWNERS the comma-separated packages
#           that own the needed file (any one of them will do)
#
# The closure is what apt installs without recommends on a fresh machine: the listed
# packages, the essential ones, and everything they reach through Pre-Depends and
# Depends. Of an alternative group (a | b) apt keeps the first one it can satisfy, so only
# the first alternative installed here is followed; a virtual name stands for the
# installed packages that provide it.
#
# Prints, tab-separated:
#   absent   NAME              a listed name neither installed nor provided here
#   missing  OWNERS  REASONS   a need the closure does not cover (reasons joined by "; ")
#   checked  N                 how many distinct owning packages were checked
# Plain POSIX awk: mawk is what a fresh Debian machine has.

BEGIN {
    FS = "\t"
    if (ARGC != 4) fail("expected STATUS, LIST and NEEDS files")
    # Read by hand: an empty file would otherwise shift the roles of the others.
    read_file(ARGV[1], "status")
    read_file(ARGV[2], "list")
    read_file(ARGV[3], "needs")
    close_over_depends()
    report()
    exit 0
}

function fail(message) {
    print "deps-closure.awk: " message > "/dev/stderr"
    exit 2
}

function read_file(path, role,    line, result) {
    while ((result = (getline line < path)) > 0) {
        $0 = line
        if (role == "status") read_status()
        else if (role == "list") read_list_line(line)
        else read_need()
    }
    if (result < 0) fail("cannot read " path)
    close(path)
}

function trim(text) {
    gsub(/^[ \t]+|[ \t]+$/, "", text)
    return text
}

# "libfoo1:any (>= 1.2) <!nocheck>" -> "libfoo1"
function bare_name(relation) {
    gsub(/\([^)]*\)|\[[^]]*\]|<[^>]*>/, "", relation)
    relation = trim(relation)
    sub(/:.*/, "", relation)
    return relation
}

function read_status(    name, state, provided, count, i, virtual) {
    name = bare_name($1)
    state = substr($2, 2, 1)
    # Installed, or installed with triggers pending or awaited.
    if (name == "" || (state != "i" && state != "t" && state != "W")) return
    installed[name] = 1
    if ($3 == "yes") essential[name] = 1
    # A package can appear once per architecture; its relations add up.
    relations[name] = relations[name] "," $4 "," $5
    count = split($6, provided, ",")
    for (i = 1; i <= count; ++i) {
        virtual = bare_name(provided[i])
        if (virtual != "" && index(" " providers[virtual] " ", " " name " ") == 0)
            providers[virtual] = providers[virtual] " " name
    }
}

function read_list_line(line,    name) {
    sub(/#.*/, "", line)
    name = bare_name(line)
    if (name != "") listed[++listed_count] = name
}

function read_need(    owners) {
    owners = trim($1)
    if (owners == "") return
    if (!(owners in need_reasons)) need_order[++need_count] = owners
    if ((owners, $2) in seen_reason) return
    seen_reason[owners, $2] = 1
    need_reasons[owners] = need_reasons[owners] (need_reasons[owners] == "" ? "" : "; ") $2
}

# The installed packages that satisfy NAME, space-separated; empty when none.
function satisfiers(name) {
    if (name in installed) return name
    return trim(providers[name])
}

function reach(names,    list, count, i) {
    count = split(names, list, " ")
    for (i = 1; i <= count; ++i) {
        if (!(list[i] in in_closure)) {
            in_closure[list[i]] = 1
            queue[++queue_tail] = list[i]
        }
    }
}

function follow_relations(package,    groups, group_count, g, alternatives, alt_count, a, found) {
    group_count = split(relations[package], groups, ",")
    for (g = 1; g <= group_count; ++g) {
        alt_count = split(groups[g], alternatives, "|")
        for (a = 1; a <= alt_count; ++a) {
            found = satisfiers(bare_name(alternatives[a]))
            if (found != "") {
                reach(found)
                break
            }
        }
    }
}

function close_over_depends(    i, found, name, head) {
    queue_tail = 0
    for (i = 1; i <= listed_count; ++i) {
        found = satisfiers(listed[i])
        if (found == "")
            absent[listed[i]] = 1
        else
            reach(found)
    }
    for (name in essential) reach(name)
    for (head = 1; head <= queue_tail; ++head) follow_relations(queue[head])
}

function covered(owners,    list, count, i) {
    count = split(owners, list, ",")
    for (i = 1; i <= count; ++i)
        if (bare_name(list[i]) in in_closure) return 1
    return 0
}

function report(    i, name, list, count, j, owner, checked) {
    for (i = 1; i <= listed_count; ++i) {
        name = listed[i]
        if (name in absent) {
            print "absent\t" name
            delete absent[name]
        }
    }
    checked = 0
    for (i = 1; i <= need_count; ++i) {
        count = split(need_order[i], list, ",")
        for (j = 1; j <= count; ++j) {
            owner = bare_name(list[j])
            if (owner != "" && !(owner in counted)) {
                counted[owner] = 1
                ++checked
            }
        }
        if (!covered(need_order[i])) print "missing\t" need_order[i] "\t" need_reasons[need_order[i]]
    }
    print "checked\t" checked
}
