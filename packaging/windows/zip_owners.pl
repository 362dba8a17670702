#!/usr/bin/perl
# zip_owners.pl ZIP: every entry of ZIP belongs to root (uid and gid 0) in its
# Unix extra field ('ux'), in the local headers and the central directory
# alike, whoever staged the files. The zip is patched in place: no size,
# offset or checksum changes.
use strict;
use warnings;

my $path = shift or die "usage: $0 ZIP\n";
open(my $in, '<:raw', $path) or die "$path: $!\n";
my $zip = do { local $/; <$in> };
close $in;

# Zeroes the uid and gid of the 'ux' field among the extra fields at $at.
sub root_owner {
  my ($at, $length) = @_;
  my $end = $at + $length;
  while ($at + 4 <= $end) {
    my ($tag, $size) = unpack('v v', substr($zip, $at, 4));
    if ($tag == 0x7875 && $size >= 3) {
      my $field = $at + 4;
      my $uid_size = unpack('C', substr($zip, $field + 1, 1));
      substr($zip, $field + 2, $uid_size) = "\0" x $uid_size;
      my $gid_size = unpack('C', substr($zip, $field + 2 + $uid_size, 1));
      substr($zip, $field + 3 + $uid_size, $gid_size) = "\0" x $gid_size;
    }
    $at += 4 + $size;
  }
}

my $end = rindex($zip, "PK\x05\x06");
die "$path: no end of central directory\n" if $end < 0;
my ($entries, $directory) = unpack('v x4 V', substr($zip, $end + 10, 10));
my $at = $directory;
for (1 .. $entries) {
  die "$path: broken central directory\n" unless substr($zip, $at, 4) eq "PK\x01\x02";
  my ($name, $extra, $comment) = unpack('v v v', substr($zip, $at + 28, 6));
  my $local = unpack('V', substr($zip, $at + 42, 4));
  root_owner($at + 46 + $name, $extra);
  die "$path: broken local header\n" unless substr($zip, $local, 4) eq "PK\x03\x04";
  my ($local_name, $local_extra) = unpack('v v', substr($zip, $local + 26, 4));
  root_owner($local + 30 + $local_name, $local_extra);
  $at += 46 + $name + $extra + $comment;
}

open(my $out, '>:raw', $path) or die "$path: $!\n";
print $out $zip;
close $out or die "$path: $!\n";
