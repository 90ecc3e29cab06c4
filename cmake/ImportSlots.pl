#!/usr/bin/perl
# Reads Windows binaries (32-bit, and the 64-bit twin's) and fails when any import slot of any DLL is empty: an ordinary
# import whose slot does not name its function, or a delay-loaded one whose slot does not lead to
# its load stub inside the image. Such a call jumps to address 0 at run time, and nothing before
# that call notices. Delay-load tables are found through the image's directory entry and through
# the descriptors' symbols (the GNU tool chain leaves the directory entry empty).
#   perl ImportSlots.pl [--remove-failed] binary...
# --remove-failed removes a binary that fails, so that a build checking what it just linked links
# it again next time instead of finding it up to date.
use strict;
use warnings;

my $failed = 0;

sub fail { print "$_[0]\n"; $failed = 1; }

sub check {
    my ($path) = @_;
    open(my $fh, '<:raw', $path) or return fail("$path: cannot be read");
    local $/;
    my $d = <$fh>;
    close $fh;
    my $u16 = sub { unpack('v', substr($d, $_[0], 2)) };
    my $u32 = sub { unpack('V', substr($d, $_[0], 4)) };
    return fail("$path: not a Windows binary") if length($d) < 0x40 || substr($d, 0, 2) ne 'MZ';
    my $pe = $u32->(0x3C);
    return fail("$path: no PE header") if $pe + 24 > length($d) || substr($d, $pe, 4) ne "PE\0\0";
    my $coff = $pe + 4;
    my ($sections, $symbols, $symbolCount, $optionalSize) =
        ($u16->($coff + 2), $u32->($coff + 8), $u32->($coff + 12), $u16->($coff + 16));
    my $opt = $coff + 20;
    my $magic = $u16->($opt);
    return fail("$path: not a 32-bit or 64-bit image") if $magic != 0x10B && $magic != 0x20B;
    my $wide = $magic == 0x20B;
    my $width = $wide ? 8 : 4;   # of a slot and a name table entry
    my $uword = $wide ? sub { unpack('Q<', substr($d, $_[0], 8)) } : $u32;
    my $imageBase = $wide ? $uword->($opt + 24) : $u32->($opt + 28);
    my $imageSize = $u32->($opt + 56);
    my $dirs = $opt + ($wide ? 112 : 96);
    my $dirCount = $u32->($dirs - 4);
    my @section;
    for my $i (0 .. $sections - 1) {
        my $s = $opt + $optionalSize + 40 * $i;
        push @section, { va => $u32->($s + 12), vsize => $u32->($s + 8), raw => $u32->($s + 16),
                         rawoff => $u32->($s + 20) };
    }
    my $offset = sub {
        my ($rva) = @_;
        for my $s (@section) {
            my $size = $s->{vsize} > $s->{raw} ? $s->{vsize} : $s->{raw};
            return $s->{rawoff} + $rva - $s->{va} if $rva >= $s->{va} && $rva < $s->{va} + $size;
        }
        return undef;
    };
    my $string = sub {
        my $at = $offset->($_[0]);
        return '?' unless defined $at;
        my $end = index($d, "\0", $at);
        return substr($d, $at, $end - $at);
    };
    my $functionName = sub {
        my ($entry) = @_;
        return sprintf('#%d', $entry & 0xFFFF) if ($wide ? $entry >> 63 : $entry & 0x80000000);
        return $string->($entry + 2);
    };
    my $checked = 0;

    # Ordinary imports: each slot holds what the name table holds until the loader fills it.
    my ($importRva) = $dirCount > 1 ? ($u32->($dirs + 8)) : (0);
    if ($importRva) {
        for (my $desc = $offset->($importRva); defined $desc; $desc += 20) {
            my ($names, $dll, $slots) = ($u32->($desc), $u32->($desc + 12), $u32->($desc + 16));
            last if !$names && !$dll && !$slots;
            $names ||= $slots;
            my ($n, $s) = ($offset->($names), $offset->($slots));
            return fail("$path: the import table of " . $string->($dll) . " lies outside the image")
                unless defined $n && defined $s;
            for (my $i = 0; ; $i += $width) {
                my $entry = $uword->($n + $i);
                last unless $entry;
                ++$checked;
                fail("$path: the import slot of " . $string->($dll) . '!' . $functionName->($entry) . ' is empty')
                    if $uword->($s + $i) == 0;
            }
        }
    }

    # Delay-load descriptors: from the directory entry and from the symbol table.
    my %descriptors;
    if ($dirCount > 13) {
        my $rva = $u32->($dirs + 13 * 8);
        if ($rva) {
            for (my $at = $offset->($rva); defined $at && $u32->($at + 4); $at += 32) {
                $descriptors{$at} = 1;
            }
        }
    }
    if ($symbols && $symbolCount) {
        my $strings = $symbols + 18 * $symbolCount;
        for (my $i = 0; $i < $symbolCount; ++$i) {
            my $sym = $symbols + 18 * $i;
            my $name = substr($d, $sym, 8);
            if (unpack('V', $name) == 0) {
                my $at = $strings + unpack('V', substr($name, 4, 4));
                $name = substr($d, $at, index($d, "\0", $at) - $at);
            } else {
                $name =~ s/\0.*//s;
            }
            my $sectionNumber = unpack('s<', substr($d, $sym + 12, 2));
            if ($name =~ /^__DELAY_IMPORT_DESCRIPTOR_/ && $sectionNumber > 0 && $sectionNumber <= @section) {
                my $at = $offset->($section[$sectionNumber - 1]{va} + $u32->($sym + 8));
                $descriptors{$at} = 1 if defined $at;
            }
            $i += unpack('C', substr($d, $sym + 17, 1));
        }
    }
    for my $desc (sort { $a <=> $b } keys %descriptors) {
        my ($attrs, $dll, $slots, $names) = ($u32->($desc), $u32->($desc + 4), $u32->($desc + 12), $u32->($desc + 16));
        my $base = ($attrs & 1) ? 0 : $imageBase;   # old descriptors hold addresses, not RVAs
        my $dllName = $string->($dll - $base);
        my ($n, $s) = ($offset->($names - $base), $offset->($slots - $base));
        return fail("$path: the delay-load table of $dllName lies outside the image") unless defined $n && defined $s;
        for (my $i = 0; ; $i += $width) {
            my $entry = $uword->($n + $i);
            last unless $entry;
            ++$checked;
            my $slot = $uword->($s + $i);
            fail("$path: the delay-load slot of $dllName!" . $functionName->($entry - $base) .
                 ($slot ? sprintf(' leads outside the image (0x%08x)', $slot) : ' is empty'))
                if $slot < $imageBase || $slot >= $imageBase + $imageSize;
        }
    }
    return fail("$path: no import slot found to check") unless $checked;
    printf "%s: %d import slots, %d delay-load tables\n", $path, $checked, scalar(keys %descriptors);
}

my $remove = @ARGV && $ARGV[0] eq '--remove-failed' && shift @ARGV;
die "usage: $0 [--remove-failed] binary...\n" unless @ARGV;
my $anyFailed = 0;
for my $path (@ARGV) {
    $failed = 0;
    check($path);
    next unless $failed;
    $anyFailed = 1;
    unlink $path if $remove;
}
exit $anyFailed;
