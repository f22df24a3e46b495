// Search for a book opened from the file system as well as from a server.
//
// The theme runs its search in a web worker that it starts from a script
// file and hands an index it fetches: from a file:// page Chromium refuses
// both. It reads a global `__search` first, though, for the index and the
// worker's URL. So scripts/book writes search/offline_data.js, loaded by a
// plain script tag (which file:// allows), with the index and the worker's
// source as data; this starts the worker from a blob: URL made of them.
//
// The worker gets its index inside itself, before the first message the
// page sends it: the page sends one message at a time and keeps only the
// last of those that wait, so an index sent from the page could be dropped
// for a query typed before the worker answered.
var __search = (function () {
  var data = window.__bookSearchData;
  if (!data) {
    return undefined;
  }
  // The options the theme would derive from its settings and translations.
  var app = JSON.parse(document.getElementById("__config").textContent);
  var t = app.translations;
  var config = data.index.config;
  if (config.lang.length === 1 && config.lang[0] === "en") {
    config.lang = [t["search.config.lang"]];
  }
  if (config.separator === "[\\s\\-]+") {
    config.separator = t["search.config.separator"];
  }
  var setup = {
    type: 0,
    data: {
      config: config,
      docs: data.index.docs,
      options: {
        pipeline: t["search.config.pipeline"].split(/\s*,\s*/).filter(Boolean),
        suggestions: app.features.indexOf("search.suggest") >= 0
      }
    }
  };
  // Runs in the worker before the theme's code: its message listener sees
  // the setup message first, then every message of the page.
  function setUpFirst(message) {
    var add = self.addEventListener.bind(self);
    self.addEventListener = function (type, listener, options) {
      if (type !== "message") {
        return add(type, listener, options);
      }
      var first = true;
      return add(type, function (event) {
        if (first) {
          first = false;
          listener({ data: message });
        }
        listener(event);
      }, options);
    };
  }
  var source = "(" + setUpFirst + ")(" + JSON.stringify(setup) + ");\n" + data.worker;
  return {
    // The page must not send an index of its own: this one never arrives.
    index: new Promise(function () {}),
    worker: URL.createObjectURL(new Blob([source], { type: "text/javascript" }))
  };
})();
