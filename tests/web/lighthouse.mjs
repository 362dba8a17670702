// Lighthouse's accessibility, best-practices and SEO audits of each page
// given, one after another in the Chromium listening on PORT, in its
// default mobile run (one Node and one browser for all: Lighthouse runs
// no two audits at once in one process); prints one line of JSON a page:
// its scores and the audits that failed. WEB_TOOLS names the node_modules folder Lighthouse is in.
//   node lighthouse.mjs PORT URL...
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const lighthouse = (await import(pathToFileURL(join(process.env.WEB_TOOLS, 'lighthouse', 'core', 'index.js')))).default;

const [port, ...urls] = process.argv.slice(2);
const flags = { port: Number(port), hostname: '127.0.0.1', logLevel: 'error', output: 'json',
                onlyCategories: ['accessibility', 'best-practices', 'seo'], disableFullPageScreenshot: true };
for (const url of urls) {
  const { lhr } = await lighthouse(url, flags);
  const scores = {};
  const failed = [];
  for (const [name, category] of Object.entries(lhr.categories)) {
    scores[name] = category.score;
    for (const ref of category.auditRefs) {
      const score = lhr.audits[ref.id].score;
      if (ref.weight > 0 && score !== null && score < 1) failed.push(ref.id);
    }
  }
  console.log(JSON.stringify({ url, scores, failed, warnings: lhr.runWarnings }));
}
