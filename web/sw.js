// The service worker of the pages' folder (made from this template by
// app_files.cmake): it keeps every file of the folder in one cache named
// after their contents and answers from that cache first, so that after one
// visit the index and every page load and run with no network at all.
//
// A new release is a new sw.js, as its list and cache name change with any
// file. The browser installs it beside the one at work, and it caches the
// whole release from the network, never from the HTTP cache. It takes over
// when a page of the folder asks, which a page does once it has every file it
// needs (page.js), so that no page runs the files of two releases; it then
// deletes the older caches of this folder and controls its pages at once.
const APP_FILES = [@APP_FILES@
];
// Another copy of the folder on the same host has caches of its own.
const CACHE_PREFIX = 'fractals ' + self.registration.scope + ' ';
const CACHE = CACHE_PREFIX + '@APP_VERSION@';

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) =>
    cache.addAll(APP_FILES.map((file) => new Request(file, { cache: 'reload' })))));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names
      .filter((name) => name.startsWith(CACHE_PREFIX) && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('message', (event) => {
  if (event.data === 'take over') self.skipWaiting();
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  // The folder's own address is its index.
  const key = request.mode === 'navigate' && request.url === self.registration.scope ? 'index.html' : request;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(key))
    .then((cached) => cached || fetch(request)));
});
