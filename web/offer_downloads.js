// Offers every file the program finishes in the in-memory file system as a
// download of the same name, the browser's way of saving a file. A file is
// finished when a stream that wrote it closes or when it is renamed into
// place; only the snapshots (*.bmp) are offered, never the temporary files
// they are written to first.
(function () {
  function offer(path) {
    if (!/\.bmp$/.test(path)) return;
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([FS.readFile(path)], { type: 'application/octet-stream' }));
    link.download = path.split('/').pop();
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(function () { URL.revokeObjectURL(link.href); }, 60000);
  }
  const rename = FS.rename;
  FS.rename = function (from, to) {
    rename(from, to);
    offer(to);
  };
  const close = FS.close;
  FS.close = function (stream) {
    const wrote = (stream.flags & 3) !== 0;  // O_WRONLY or O_RDWR
    const path = stream.path;
    close(stream);
    if (wrote && path) offer(path);
  };
})();
